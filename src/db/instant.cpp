#include "db/instant.h"

#include <cmath>

#include "db/data_packet_format.h"

namespace tvx {

using data_packet::kMaxInstant;
using data_packet::kMinInstant;
using data_packet::kMSecsPerDay;

bool TryDateTimeToInstant(double date_time, int64_t& instant) {
  // Checked in double first so that the integer conversions below cannot overflow.
  if (!std::isfinite(date_time) || date_time < data_packet::kMinDay - 1.0 ||
      date_time > data_packet::kMaxDay + 1.0) {
    return false;
  }
  const double whole = std::trunc(date_time);
  const double fraction = std::fabs(date_time - whole);
  const int64_t ms =
      static_cast<int64_t>(whole) * kMSecsPerDay + std::llround(fraction * kMSecsPerDay);
  if (ms < kMinInstant || ms > kMaxInstant) return false;
  instant = ms;
  return true;
}

double InstantToDateTime(int64_t instant) {
  int64_t day = instant / kMSecsPerDay;
  int64_t ms_of_day = instant % kMSecsPerDay;
  if (ms_of_day < 0) {
    day -= 1;
    ms_of_day += kMSecsPerDay;
  }
  const double time = static_cast<double>(ms_of_day) / kMSecsPerDay;
  return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

}  // namespace tvx
