// The host's log: one UTF-8 line per event on standard output (when the host has one: started
// from a terminal or a script), written whole so that lines from the window thread and the
// scripted operator never mix.
#pragma once

#include <string_view>

namespace tvx::host {

void LogLine(std::string_view line);

}  // namespace tvx::host
