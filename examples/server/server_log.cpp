#include "server/server_log.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace tvx::example {

namespace {

std::atomic<bool> quiet{false};
std::mutex log_mutex;

void Write(const std::string& text) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::lock_guard lock(log_mutex);
  std::fprintf(stderr, "%s.%03d %s\n", stamp, static_cast<int>(ms.count()), text.c_str());
  std::fflush(stderr);
}

}  // namespace

void SetLogQuiet(bool value) { quiet = value; }

void LogLine(const std::string& text) {
  if (!quiet) Write(text);
}

void LogWarning(const std::string& text) { Write(text); }

}  // namespace tvx::example
