#include "server/login_throttle.h"

#include <algorithm>

namespace tvx::example {

std::chrono::milliseconds LoginThrottle::Failed(const std::string& address, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  if (records_.size() >= kMaxAddresses && records_.count(address) == 0) {
    for (auto it = records_.begin(); it != records_.end();) {
      it = now - it->second.last > kForgetAfter ? records_.erase(it) : std::next(it);
    }
    if (records_.size() >= kMaxAddresses) {
      records_.erase(std::min_element(records_.begin(), records_.end(), [](auto& a, auto& b) {
        return a.second.last < b.second.last;
      }));
    }
  }
  Record& record = records_[address];
  if (record.failures > 0 && now - record.last > kForgetAfter) record.failures = 0;
  record.failures = std::min(record.failures + 1, 16);
  record.last = now;
  auto delay = first_delay_;
  for (int i = 1; i < record.failures && delay < kLongestDelay; ++i) delay *= 2;
  return std::min(delay, kLongestDelay);
}

void LoginThrottle::Succeeded(const std::string& address) {
  std::lock_guard lock(mutex_);
  records_.erase(address);
}

}  // namespace tvx::example
