// The host's result lines: with --results FILE, one JSON object a line for each event that a
// test of the host asserts on (what the status bar showed, the texts of a window, a box, an
// exception a module reported, how the script and the host ended), beside the log for people.
// Every object has "event" naming its kind; docs/host-example.md lists the kinds and fields.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace tvx::host {

// Opens FILE (a Windows path, UTF-8) for the result lines, emptied first. Raises
// std::invalid_argument when it cannot be opened.
void OpenResults(const std::string& file);

// Writes one result line, whole, from any thread; nothing when no file was opened.
void WriteResult(const nlohmann::json& record);

void CloseResults();

}  // namespace tvx::host
