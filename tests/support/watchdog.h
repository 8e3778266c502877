// Ends the test process with a message when it is not disarmed (destroyed) in time: the last
// resort against a modal loop that nothing ends, which would otherwise wait for ever.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tvx::test {

class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool disarmed_ = false;
  std::thread thread_;
};

}  // namespace tvx::test
