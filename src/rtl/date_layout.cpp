#include "rtl/date_layout.h"

#include <algorithm>

#include "rtl/exceptions.h"
#include "rtl/format_tokens.h"

namespace tvx {

TDateOrder DateOrderOf(std::string_view short_date_format) {
  for (const TFormatToken& token : TokenizeDateTimeFormat(short_date_format)) {
    switch (token.Kind) {
      case TFormatTokenKind::Day:
        if (token.Count <= 2) return TDateOrder::DMY;
        break;
      case TFormatTokenKind::Month:
        return TDateOrder::MDY;
      case TFormatTokenKind::Year:
        return TDateOrder::YMD;
      default:
        break;
    }
  }
  return TDateOrder::DMY;
}

bool HasFourDigitYear(std::string_view short_date_format) {
  int run = 0;
  for (char c : short_date_format) {
    run = (c == 'y' || c == 'Y') ? run + 1 : 0;
    if (run == 4) return true;
  }
  return false;
}

TDateLayout DateLayoutOf(const TFormatSettings& settings) {
  return {DateOrderOf(settings.ShortDateFormat), HasFourDigitYear(settings.ShortDateFormat),
          settings.DateSeparator};
}

std::string DateToLayoutText(TDateTime date, const TDateLayout& layout) {
  if (!IsValidDateTime(date)) throw EConvertError("Invalid argument to date decode");
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  auto digits = [](int value, int width) {
    std::string text = std::to_string(value);
    return std::string(width - std::min<int>(width, static_cast<int>(text.size())), '0') + text;
  };
  std::string y = layout.FourDigitYear ? digits(year, 4) : digits(year % 100, 2);
  std::string m = digits(month, 2), d = digits(day, 2);
  const char sep = layout.Separator;
  switch (layout.Order) {
    case TDateOrder::MDY:
      return m + sep + d + sep + y;
    case TDateOrder::YMD:
      return y + sep + m + sep + d;
    case TDateOrder::DMY:
      break;
  }
  return d + sep + m + sep + y;
}

}  // namespace tvx
