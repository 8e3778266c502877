// ASCII letters and their case, whatever the C library's locale: component and property names,
// format letters and the other identifiers of the module are ASCII, and no byte of a UTF-8
// text outside ASCII is a letter here.
#pragma once

#include <string>
#include <string_view>

namespace tvx {

constexpr bool IsAsciiLetter(char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}
constexpr bool IsAsciiDigit(char ch) { return ch >= '0' && ch <= '9'; }

constexpr char AsciiLower(char ch) {
  return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

// Whether two texts are equal once ASCII letters are folded to lower case.
constexpr bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// Whether text starts with prefix once ASCII letters are folded to lower case.
constexpr bool StartsWithTextAscii(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

// The text with its ASCII letters in lower case.
inline std::string AsciiLowerCase(std::string text) {
  for (char& ch : text) ch = AsciiLower(ch);
  return text;
}

}  // namespace tvx
