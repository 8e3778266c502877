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

}  // namespace tvx::test
