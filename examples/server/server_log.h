// The server's log: one line per event on the standard error stream, with the time.
#pragma once

#include <string>

namespace tvx::example {

// Lines from several threads never mix. Quiet drops every line but warnings.
void SetLogQuiet(bool quiet);
void LogLine(const std::string& text);
void LogWarning(const std::string& text);

}  // namespace tvx::example
