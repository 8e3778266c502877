#include "support/watchdog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tvx::test {

Watchdog::Watchdog(std::chrono::seconds limit)
    : thread_([this, limit] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (done_.wait_for(lock, limit, [this] { return disarmed_; })) return;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::fprintf(stderr, "watchdog: %s.%s did not finish within %lld s\n",
                     test != nullptr ? test->test_suite_name() : "?",
                     test != nullptr ? test->name() : "?", static_cast<long long>(limit.count()));
        std::fflush(stderr);
#ifdef _WIN32
        // Not ExitProcess: a hung process may hold the loader lock that unloading needs.
        TerminateProcess(GetCurrentProcess(), 3);
#endif
        std::_Exit(3);
      }) {
}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    disarmed_ = true;
  }
  done_.notify_all();
  thread_.join();
}

}  // namespace tvx::test
