#include "rtl/format_tokens.h"

#include "rtl/ascii.h"

namespace tvx {
namespace {

// The kind of a field letter, or Literal for a character that is no field.
TFormatTokenKind FieldKind(char c) {
  switch (c) {
    case 'd':
    case 'D':
      return TFormatTokenKind::Day;
    case 'M':
      return TFormatTokenKind::Month;
    case 'm':
      return TFormatTokenKind::Minute;
    case 'y':
    case 'Y':
      return TFormatTokenKind::Year;
    case 'h':
      return TFormatTokenKind::Hour12;
    case 'H':
      return TFormatTokenKind::Hour24;
    case 's':
    case 'S':
      return TFormatTokenKind::Second;
    case 'z':
    case 'Z':
      return TFormatTokenKind::Millisecond;
    case 't':
      return TFormatTokenKind::AmPm;
    case 'g':
      return TFormatTokenKind::Era;
    default:
      return TFormatTokenKind::Literal;
  }
}

bool SameLetter(char a, char b) {
  // d/D, y/Y, s/S and z/Z are one field each; M/m and h/H are different fields.
  return FieldKind(a) == FieldKind(b);
}

}  // namespace

std::vector<TFormatToken> TokenizeDateTimeFormat(std::string_view format) {
  std::vector<TFormatToken> tokens;
  auto add_literal = [&](std::string_view text) {
    if (text.empty()) return;
    // Adjacent literal characters of the format join into one token.
    if (!tokens.empty() && tokens.back().Kind == TFormatTokenKind::Literal &&
        tokens.back().Text.data() + tokens.back().Text.size() == text.data()) {
      tokens.back().Text =
          std::string_view(tokens.back().Text.data(), tokens.back().Text.size() + text.size());
    } else {
      tokens.push_back({TFormatTokenKind::Literal, 0, text});
    }
  };
  std::size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    std::string_view rest = format.substr(i);
    if (c == '\'' || c == '"') {
      i += 1;
      while (true) {
        std::size_t close = format.find(c, i);
        if (close == std::string_view::npos) {
          add_literal(format.substr(i));
          i = format.size();
          break;
        }
        add_literal(format.substr(i, close - i));
        i = close + 1;
        // '' inside single quotes: one quote, and the quoted text goes on.
        if (c != '\'' || i >= format.size() || format[i] != '\'') break;
        add_literal(format.substr(close, 1));
        i += 1;
      }
      continue;
    }
    if (StartsWithTextAscii(rest, "am/pm")) {
      tokens.push_back({TFormatTokenKind::AmPmChoice, 1, rest.substr(0, 5)});
      i += 5;
    } else if (StartsWithTextAscii(rest, "a/p")) {
      tokens.push_back({TFormatTokenKind::AmPmChoice, 1, rest.substr(0, 3)});
      i += 3;
    } else if (StartsWithTextAscii(rest, "ampm")) {
      tokens.push_back({TFormatTokenKind::AmPmChoice, 1, rest.substr(0, 4)});
      i += 4;
    } else if (c == '/') {
      tokens.push_back({TFormatTokenKind::DateSeparator, 1, rest.substr(0, 1)});
      ++i;
    } else if (c == ':') {
      tokens.push_back({TFormatTokenKind::TimeSeparator, 1, rest.substr(0, 1)});
      ++i;
    } else if (TFormatTokenKind kind = FieldKind(c); kind != TFormatTokenKind::Literal) {
      std::size_t j = i + 1;
      while (j < format.size() && SameLetter(format[j], c)) ++j;
      tokens.push_back({kind, static_cast<int>(j - i), format.substr(i, j - i)});
      i = j;
    } else {
      add_literal(rest.substr(0, 1));
      ++i;
    }
  }
  return tokens;
}

}  // namespace tvx
