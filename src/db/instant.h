// Temporal values inside the record set: whole milliseconds since 30 December 1899 00:00.
// Integers order exactly and compare fast, also before day 0, where a TDateTime's fraction
// runs against its whole part; they convert to a TDateTime only when a field is read.
#pragma once

#include <cstdint>
#include <limits>

namespace tvx {

// Stands for null in a temporal column; below every valid instant, so nulls sort first.
inline constexpr int64_t kNullInstant = std::numeric_limits<int64_t>::min();

// Converts a TDateTime (days since 30 December 1899, fraction = time of day) to an instant,
// the time rounded to the nearest millisecond. False for a value that is not finite or
// lies outside 1 January 0001 .. 31 December 9999.
bool TryDateTimeToInstant(double date_time, int64_t& instant);

// The TDateTime of a valid instant (not kNullInstant).
double InstantToDateTime(int64_t instant);

}  // namespace tvx
