// Dates read from text, in the order of day, month and year that the short date format has.
#pragma once

#include <string_view>

#include "rtl/date_layout.h"
#include "rtl/datetime.h"
#include "rtl/format_settings.h"

namespace tvx {

// Accepts two or three numbers separated by the settings' date separator, in the order of
// DateOrderOf(ShortDateFormat): day and month of one or two digits, a year of one to four
// digits. Blanks may stand before and after each number, and one separator may follow the
// last number (as in "2012. 12. 31."). Without a year the date is in the current year; a
// year of one or two digits is expanded by ExpandTwoDigitYear. Anything else, or a date
// that does not exist, is refused. On success `date` is the whole day; on failure it is
// left alone.
bool TryStrToDate(std::string_view text, TDateTime& date,
                  const TFormatSettings& settings = FormatSettings());
// The same in a date layout (its order and separator; a two-digit year is accepted in a
// four-digit layout too, and the other way round).
bool TryStrToDate(std::string_view text, TDateTime& date, const TDateLayout& layout);
// As TryStrToDate; raises EConvertError "'<text>' is not a valid date" on failure.
TDateTime StrToDate(std::string_view text, const TFormatSettings& settings = FormatSettings());

// The year within 50 years of `current_year` that ends in the two digits given (0..99):
// from current_year - 50 up to current_year + 49.
int ExpandTwoDigitYear(int two_digit_year, int current_year);

}  // namespace tvx
