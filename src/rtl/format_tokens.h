// The pieces of a date and time format such as "dd.MM.yyyy" or "h:mm:ss tt": fields,
// separators and literal text. Formatting, the date order of a format and the separators
// that a locale's formats imply are all read from these pieces.
#pragma once

#include <string_view>
#include <vector>

namespace tvx {

enum class TFormatTokenKind {
  Literal,        // text shown as it stands (quoted text, or characters that are no field)
  DateSeparator,  // '/': the settings' date separator
  TimeSeparator,  // ':': the settings' time separator
  Day,            // d, dd: day of the month; ddd, dddd: name of the weekday
  Month,          // M, MM: number; MMM, MMMM: name
  Year,           // y: last two digits unpadded, yy: last two digits, yyy or more: full year
  Hour12,         // h, hh: 12-hour clock
  Hour24,         // H, HH: 24-hour clock
  Minute,         // m, mm
  Second,         // s, ss
  Millisecond,    // z: unpadded, zz or more: three digits
  AmPm,           // t: first character of the designator, tt: the whole designator
  AmPmChoice,     // "AM/PM" or "A/P" in any case: the half before or after '/', as written;
                  // "ampm": the designator
  Era,            // g, gg: shown as nothing (the module knows only the Gregorian era)
};

struct TFormatToken {
  TFormatTokenKind Kind;
  int Count;              // how many times the field letter was repeated
  std::string_view Text;  // the characters of the format (for Literal: the text to show)
};

// Splits a format into tokens. Field letters: d D M m y Y h H s S z Z t g; text in single
// or double quotes is literal, and two single quotes inside single quotes stand for one.
// An unterminated quote runs to the end. The result views into `format`.
std::vector<TFormatToken> TokenizeDateTimeFormat(std::string_view format);

}  // namespace tvx
