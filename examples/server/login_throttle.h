// Slows down the guessing of passwords: each failed login from an address makes the answer to
// the next failure from that address wait twice as long (1 s, 2 s, 4 s ... up to 30 s by
// default). A success from the address, or a quarter of an hour without failures, starts it
// afresh.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

namespace tvx::example {

class LoginThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  explicit LoginThrottle(std::chrono::milliseconds first_delay = std::chrono::seconds(1))
      : first_delay_(first_delay) {}

  // Counts a failure from the address; returns how long its answer is to wait.
  std::chrono::milliseconds Failed(const std::string& address,
                                   Clock::time_point now = Clock::now());
  void Succeeded(const std::string& address);

  static constexpr std::chrono::milliseconds kLongestDelay{30000};
  static constexpr std::chrono::minutes kForgetAfter{15};
  // Addresses remembered at once; beyond this the longest quiet ones are forgotten.
  static constexpr std::size_t kMaxAddresses = 10000;

 private:
  struct Record {
    int failures = 0;
    Clock::time_point last;
  };
  std::chrono::milliseconds first_delay_;
  std::mutex mutex_;
  std::map<std::string, Record> records_;
};

}  // namespace tvx::example
