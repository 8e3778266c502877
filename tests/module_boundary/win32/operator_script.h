// The operator's part, played from inside the message loops: steps that each wait for a
// condition (a window shown, a box up) and then post the operator's input. The host runs the
// script from its idle work, so a step runs as soon as the windows have settled, in whichever
// loop is waiting (the module's modal loop through the host's, a message box's).
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "support/watchdog.h"

namespace tvx::test {

class OperatorScript {
 public:
  // Adds a step: once ready() holds, act() runs. A step that waits longer than the patience
  // fails the test and ends every loop (the host terminates), so that the test goes on.
  OperatorScript& When(std::string what, std::function<bool()> ready, std::function<void()> act);

  // Runs the next step when it is ready. Steps do not nest: input they post runs later.
  void Tick();
  bool Done() const { return steps_.empty(); }
  // What the script waits for ("" when done).
  std::string Waiting() const { return steps_.empty() ? std::string() : steps_.front().what; }
  // Steps left out after a step waited in vain.
  void Clear() { steps_.clear(); }

  static constexpr std::chrono::seconds kPatience{20};

 private:
  struct Step {
    std::string what;
    std::function<bool()> ready;
    std::function<void()> act;
  };

  std::deque<Step> steps_;
  std::chrono::steady_clock::time_point waiting_since_{};
  bool running_ = false;
};

}  // namespace tvx::test
