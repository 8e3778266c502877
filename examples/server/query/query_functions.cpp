#include "server/query/query_functions.h"

#include <array>

namespace tvx::example {

namespace {

// Each takes time in proportion to its values at most, and none holds more than its largest
// argument.
constexpr std::array<std::string_view, 31> kQueryFunctions = {
    // aggregates
    "count", "sum", "total", "avg", "min", "max",
    // values and nulls
    "abs", "round", "coalesce", "ifnull", "iif", "nullif", "typeof", "length", "substr",
    "substring", "upper", "lower",
    // dates and times
    "date", "time", "datetime", "julianday", "unixepoch", "strftime", "current_date",
    "current_time", "current_timestamp",
    // ranks of rows
    "row_number", "rank", "dense_rank", "ntile"};

bool SameFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

}  // namespace

bool IsQueryFunction(std::string_view name) {
  for (std::string_view allowed : kQueryFunctions) {
    if (SameFolded(name, allowed)) return true;
  }
  return false;
}

}  // namespace tvx::example
