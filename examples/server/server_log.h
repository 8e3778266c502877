// The server's log: one line per event on the standard error stream, with the time.
#pragma once

#include <string>
#include <string_view>

namespace tvx::example {

// Lines from several threads never mix, and each text is one line: its control characters
// are escaped (EscapeLogText), so that a client's name or query cannot forge log lines.
// Quiet drops every line but warnings.
void SetLogQuiet(bool quiet);
void LogLine(const std::string& text);
void LogWarning(const std::string& text);

// The text with every control character (C0, DEL, C1, and the line and paragraph separators
// U+2028 and U+2029) written as \xHH or \uHHHH, and the backslash itself as \\.
std::string EscapeLogText(std::string_view text);

}  // namespace tvx::example
