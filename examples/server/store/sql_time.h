// Dates as the database keeps them: text "YYYY-MM-DD" for days and "YYYY-MM-DD HH:MM:SS" for
// moments, which sort as text in time order.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rtl/datetime.h"

namespace tvx::example {

// "YYYY-MM-DD" of the day that `value` falls on. `value` must be a valid TDateTime.
std::string SqlDate(TDateTime value);
// "YYYY-MM-DD HH:MM:SS", to the second (milliseconds are dropped).
std::string SqlDateTime(TDateTime value);
// Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM", "YYYY-MM-DD HH:MM:SS" or with ".fff" milliseconds
// ('T' may stand for the blank). nullopt for anything else or an impossible date.
std::optional<TDateTime> ParseSqlDateTime(std::string_view text);

// The current moment to the second, in local time.
TDateTime NowToTheSecond();

}  // namespace tvx::example
