// The server's log: one line per event on the standard error stream, with the time.
#pragma once

#include <string>
#include <string_view>

namespace tvx::example {

// Lines from several threads never mix. Each line is kept on one line (its control, invisible
// and bidirectional characters escaped), and each value that a client chose goes into it
// through LogValue, which escapes its quotes and backslashes too, so that a client's name or
// query can neither forge a line nor close its field and add another.
// Quiet drops every line but warnings.
void SetLogQuiet(bool quiet);
void LogLine(const std::string& text);
void LogWarning(const std::string& text);

// The text with the quote and the backslash written as \" and \\, every control character
// (C0, DEL) and every byte that is not part of well-formed UTF-8 as \xHH, and every invisible
// or bidirectional character (C1, U+00AD, U+061C, U+200B..U+200F, U+2028..U+202E,
// U+2060..U+206F, U+FEFF, U+FFF9..U+FFFB, the tags U+E0000..U+E007F) as \uHHHH or \UHHHHHHHH.
std::string EscapeLogText(std::string_view text);
// The text escaped and in quotes: how a value that a client chose goes into a line.
std::string LogValue(std::string_view text);

}  // namespace tvx::example
