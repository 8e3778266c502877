#include "rtl/date_format.h"

#include <cctype>
#include <cstdio>

#include "rtl/exceptions.h"
#include "rtl/format_tokens.h"
#include "rtl/text.h"

namespace tvx {
namespace {

struct Moment {
  int year, month, day, hour, min, sec, msec, day_of_week;
};

Moment Decode(TDateTime value) {
  if (!IsValidDateTime(value)) {
    char number[64];
    std::snprintf(number, sizeof number, "%.17g", value);
    throw EConvertError("'" + std::string(number) + "' is not a valid date and time");
  }
  Moment m{};
  DecodeDate(value, m.year, m.month, m.day);
  DecodeTime(value, m.hour, m.min, m.sec, m.msec);
  m.day_of_week = DayOfWeek(value);
  return m;
}

void AppendNumber(std::string& out, int value, int min_digits) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < min_digits) out.append(min_digits - digits.size(), '0');
  out += digits;
}

std::string FirstCharacter(const std::string& text) {
  if (text.empty()) return text;
  std::size_t pos = 0;
  ReadUtf8(text, pos);
  return text.substr(0, pos);
}

// "AM/PM" and "A/P" write the half before or after the slash as the format has it.
std::string_view ChoiceHalf(std::string_view choice, bool pm) {
  std::size_t slash = choice.find('/');
  return pm ? choice.substr(slash + 1) : choice.substr(0, slash);
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value,
                           const TFormatSettings& settings) {
  const Moment m = Decode(value);
  const bool pm = m.hour >= 12;
  const std::string& designator = pm ? settings.TimePMString : settings.TimeAMString;
  std::string out;
  for (const TFormatToken& t : TokenizeDateTimeFormat(format)) {
    switch (t.Kind) {
      case TFormatTokenKind::Literal:
        out += t.Text;
        break;
      case TFormatTokenKind::DateSeparator:
        out += settings.DateSeparator;
        break;
      case TFormatTokenKind::TimeSeparator:
        out += settings.TimeSeparator;
        break;
      case TFormatTokenKind::Day:
        if (t.Count <= 2) {
          AppendNumber(out, m.day, t.Count);
        } else {
          const auto& names = t.Count == 3 ? settings.ShortDayNames : settings.LongDayNames;
          out += names[m.day_of_week - 1];
        }
        break;
      case TFormatTokenKind::Month:
        if (t.Count <= 2) {
          AppendNumber(out, m.month, t.Count);
        } else {
          const auto& names = t.Count == 3 ? settings.ShortMonthNames : settings.LongMonthNames;
          out += names[m.month - 1];
        }
        break;
      case TFormatTokenKind::Year:
        if (t.Count <= 2) {
          AppendNumber(out, m.year % 100, t.Count);
        } else {
          AppendNumber(out, m.year, 4);
        }
        break;
      case TFormatTokenKind::Hour12:
        AppendNumber(out, m.hour % 12 == 0 ? 12 : m.hour % 12, std::min(t.Count, 2));
        break;
      case TFormatTokenKind::Hour24:
        AppendNumber(out, m.hour, std::min(t.Count, 2));
        break;
      case TFormatTokenKind::Minute:
        AppendNumber(out, m.min, std::min(t.Count, 2));
        break;
      case TFormatTokenKind::Second:
        AppendNumber(out, m.sec, std::min(t.Count, 2));
        break;
      case TFormatTokenKind::Millisecond:
        AppendNumber(out, m.msec, t.Count == 1 ? 1 : 3);
        break;
      case TFormatTokenKind::AmPm:
        out += t.Count == 1 ? FirstCharacter(designator) : designator;
        break;
      case TFormatTokenKind::AmPmChoice:
        if (t.Text.find('/') == std::string_view::npos) {
          out += designator;  // "ampm"
        } else {
          out += ChoiceHalf(t.Text, pm);
        }
        break;
      case TFormatTokenKind::Era:
        break;
    }
  }
  return out;
}

std::string DateToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(settings.ShortDateFormat, value, settings);
}

std::string TimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(settings.LongTimeFormat, value, settings);
}

std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  std::string text = DateToStr(value, settings);
  int hour = 0, min = 0, sec = 0, msec = 0;
  DecodeTime(value, hour, min, sec, msec);
  if (hour != 0 || min != 0 || sec != 0) text += ' ' + TimeToStr(value, settings);
  return text;
}

}  // namespace tvx
