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
  const std::string line = EscapeLogText(text);
  std::fprintf(stderr, "%s.%03d %s\n", stamp, static_cast<int>(ms.count()), line.c_str());
  std::fflush(stderr);
}

}  // namespace

std::string EscapeLogText(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  char code[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
    const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0u;
    if (byte < 0x20 || byte == 0x7F) {
      std::snprintf(code, sizeof code, "\\x%02x", byte);
      line += code;
    } else if (byte == '\\') {
      line += "\\\\";
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080..U+009F
      std::snprintf(code, sizeof code, "\\u%04x", next);
      line += code;
      ++i;
    } else if (byte == 0xE2 && next == 0x80 && (third == 0xA8 || third == 0xA9)) {
      std::snprintf(code, sizeof code, "\\u%04x", 0x2000u + third - 0x80u);
      line += code;
      i += 2;
    } else {
      line += static_cast<char>(byte);
    }
  }
  return line;
}

void SetLogQuiet(bool value) { quiet = value; }

void LogLine(const std::string& text) {
  if (!quiet) Write(text);
}

void LogWarning(const std::string& text) { Write(text); }

}  // namespace tvx::example
