// Dates and times as text, under format settings.
#pragma once

#include <string>
#include <string_view>

#include "rtl/datetime.h"
#include "rtl/format_settings.h"

namespace tvx {

// Writes a value in a format of rtl/format_tokens.h: '/' and ':' write the settings' date
// and time separators, names and AM/PM designators come from the settings. Raises
// EConvertError for a value that is no valid date (see IsValidDateTime).
std::string FormatDateTime(std::string_view format, TDateTime value,
                           const TFormatSettings& settings = FormatSettings());

// The date in the short date format.
std::string DateToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
// The time of day in the long time format.
std::string TimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
// The short date, then a blank and the long time unless hours, minutes and seconds are all 0.
std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());

}  // namespace tvx
