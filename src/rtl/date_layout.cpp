#include "rtl/date_layout.h"

#include <cctype>

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

}  // namespace tvx
