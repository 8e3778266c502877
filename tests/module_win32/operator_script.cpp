#include "operator_script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace tvx::test {

OperatorScript& OperatorScript::When(std::string what, std::function<bool()> ready,
                                     std::function<void()> act) {
  if (steps_.empty()) waiting_since_ = std::chrono::steady_clock::now();
  steps_.push_back(Step{std::move(what), std::move(ready), std::move(act)});
  return *this;
}

void OperatorScript::Tick() {
  if (running_ || steps_.empty()) return;
  running_ = true;
  if (steps_.front().ready()) {
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step.act();
    waiting_since_ = std::chrono::steady_clock::now();
  } else if (std::chrono::steady_clock::now() - waiting_since_ > kPatience) {
    ADD_FAILURE() << "the operator waited in vain for: " << steps_.front().what;
    steps_.clear();
    // Every loop ends: the host's application terminates (modal windows end with cancel) and
    // message boxes end on the quit message.
    PostQuitMessage(0);
  }
  running_ = false;
}

Watchdog::Watchdog(std::chrono::seconds limit)
    : thread_([this, limit] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (done_.wait_for(lock, limit, [this] { return disarmed_; })) return;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::fprintf(stderr, "watchdog: %s.%s did not finish within %lld s\n",
                     test != nullptr ? test->test_suite_name() : "?",
                     test != nullptr ? test->name() : "?", static_cast<long long>(limit.count()));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    disarmed_ = true;
  }
  done_.notify_all();
  thread_.join();
}

}  // namespace tvx::test
