// Admits exports one at a time and at a bounded rate per user. A second export while one runs
// is refused at once rather than queued (the operator is told and may try again), and so is a
// user's export beyond its number a minute. Only exports that start count.
#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "server/users/roles.h"

namespace tvx::example {

class ExportGate {
 public:
  using Clock = std::chrono::steady_clock;

  // 0 exports a minute: no limit.
  explicit ExportGate(int exports_per_minute) : per_minute_(exports_per_minute) {}

  // The export's place; it holds the gate until destroyed.
  class Ticket {
   public:
    explicit Ticket(std::unique_lock<std::mutex> lock) : lock_(std::move(lock)) {}

   private:
    std::unique_lock<std::mutex> lock_;
  };

  // Raises RequestError RPC_E_SERVERCALL_RETRYLATER when an export runs or the user has had
  // its number of exports in the last minute.
  Ticket Enter(const User& user, Clock::time_point now = Clock::now());

 private:
  int per_minute_;
  std::mutex running_;
  std::mutex mutex_;  // guards started_
  std::map<std::string, std::deque<Clock::time_point>> started_;
};

}  // namespace tvx::example
