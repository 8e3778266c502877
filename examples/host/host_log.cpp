#include "host/host_log.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace tvx::host {

namespace {

std::mutex& LogMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

void LogLine(std::string_view line) {
  std::string text(line);
  text += '\n';
  const std::lock_guard lock(LogMutex());
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace tvx::host
