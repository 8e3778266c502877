// The shape of a short date format that date entry needs: in which order day, month and
// year come, whether the year has four digits, and what separates them.
#pragma once

#include <string>
#include <string_view>

#include "rtl/datetime.h"
#include "rtl/format_settings.h"

namespace tvx {

enum class TDateOrder { MDY, DMY, YMD };

// Decided by which of day, month and year the format names first: the day first gives
// day-month-year, the month first month-day-year, the year first year-month-day. Weekday
// names (ddd, dddd) are no day field. A format without any of them counts as day-month-year.
TDateOrder DateOrderOf(std::string_view short_date_format);
// True when the format contains "yyyy" in any letter case.
bool HasFourDigitYear(std::string_view short_date_format);

struct TDateLayout {
  TDateOrder Order;
  bool FourDigitYear;
  char Separator;

  bool operator==(const TDateLayout&) const = default;
};

TDateLayout DateLayoutOf(const TFormatSettings& settings);

// The date part of a value in a layout: day and month with two digits, the year with four
// or two, e.g. "31.12.2012" or "12/31/12". Raises EConvertError for a value that is no
// valid date (see IsValidDateTime).
std::string DateToLayoutText(TDateTime date, const TDateLayout& layout);

}  // namespace tvx
