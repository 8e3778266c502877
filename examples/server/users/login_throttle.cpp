#include "server/users/login_throttle.h"

#include <algorithm>

namespace tvx::example {

namespace {

constexpr std::chrono::minutes kWindow{1};

}  // namespace

LoginThrottle::Record& LoginThrottle::Find(Records& records, const std::string& key,
                                           Clock::time_point now) {
  if (records.size() >= kMaxRecords && records.count(key) == 0) {
    for (auto it = records.begin(); it != records.end();) {
      it = it->second.under_way == 0 && now - it->second.last > kForgetAfter ? records.erase(it)
                                                                             : std::next(it);
    }
    if (records.size() >= kMaxRecords) {
      records.erase(std::min_element(records.begin(), records.end(), [](auto& a, auto& b) {
        return a.second.last < b.second.last;
      }));
    }
  }
  Record& record = records[key];
  if (record.failures > 0 && now - record.last > kForgetAfter) record.failures = 0;
  return record;
}

std::chrono::milliseconds LoginThrottle::Wait(Records& records, const std::string& key,
                                              Clock::time_point now) const {
  const auto found = records.find(key);
  if (found == records.end()) return std::chrono::milliseconds{0};
  const Record& record = found->second;
  if (record.failures == 0 || now - record.last > kForgetAfter) {
    return std::chrono::milliseconds{0};
  }
  auto delay = policy_.first_delay;
  for (int i = 1; i < record.failures && delay < kLongestDelay; ++i) delay *= 2;
  delay = std::min(delay, kLongestDelay);
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(record.last + delay - now);
  if (left.count() > 0) return left;
  // One guess at a time once it has failed.
  return record.under_way > 0 ? policy_.first_delay : std::chrono::milliseconds{0};
}

std::chrono::milliseconds LoginThrottle::BeginGuess(const std::string& address,
                                                    const std::string& name,
                                                    Clock::time_point now) {
  std::lock_guard lock(mutex_);
  while (!recent_failures_.empty() && now - recent_failures_.front() >= kWindow) {
    recent_failures_.pop_front();
  }
  const bool known = known_addresses_.count(address) != 0;
  auto wait = Wait(addresses_, address, now);
  if (!known) {
    wait = std::max(wait, Wait(names_, name, now));
    if (static_cast<int>(recent_failures_.size()) >= policy_.failures_per_minute) {
      wait = std::max(wait, std::chrono::ceil<std::chrono::milliseconds>(recent_failures_.front() +
                                                                         kWindow - now));
    }
  }
  if (wait.count() > 0) return wait;
  ++Find(addresses_, address, now).under_way;
  ++Find(names_, name, now).under_way;
  return std::chrono::milliseconds{0};
}

void LoginThrottle::Finish(Records& records, const std::string& key) {
  const auto found = records.find(key);
  if (found != records.end() && found->second.under_way > 0) --found->second.under_way;
}

void LoginThrottle::Failed(const std::string& address, const std::string& name,
                           Clock::time_point now) {
  std::lock_guard lock(mutex_);
  for (Records* records : {&addresses_, &names_}) {
    const std::string& key = records == &addresses_ ? address : name;
    Finish(*records, key);
    Record& record = Find(*records, key, now);
    record.failures = std::min(record.failures + 1, 16);
    record.last = now;
  }
  recent_failures_.push_back(now);
  if (static_cast<int>(recent_failures_.size()) > policy_.failures_per_minute) {
    recent_failures_.pop_front();
  }
}

void LoginThrottle::Succeeded(const std::string& address, const std::string& name) {
  std::lock_guard lock(mutex_);
  Finish(addresses_, address);
  Finish(names_, name);
  for (Records* records : {&addresses_, &names_}) {
    const auto found = records->find(records == &addresses_ ? address : name);
    if (found != records->end() && found->second.under_way == 0)
      records->erase(found);
    else if (found != records->end())
      found->second.failures = 0;
  }
  if (known_addresses_.size() >= kMaxRecords) known_addresses_.clear();
  known_addresses_.insert(address);
}

}  // namespace tvx::example
