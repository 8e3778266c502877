#include "server/common/server_log.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <utility>

namespace tvx::example {

namespace {

std::atomic<bool> quiet{false};

std::string KeepOnOneLine(std::string_view text);
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
  const std::string line = KeepOnOneLine(text);
  std::fprintf(stderr, "%s.%03d %s\n", stamp, static_cast<int>(ms.count()), line.c_str());
  std::fflush(stderr);
}

}  // namespace

namespace {

// The code point of the well-formed UTF-8 sequence at the start of `text` and its length, or
// a length of 0 when it is not one (a stray byte, an overlong form, a surrogate).
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t point = 0;
  char32_t least = 0;
  if (lead < 0x80) return {lead, 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, point = lead & 0x1Fu, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, point = lead & 0x0Fu, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, point = lead & 0x07u, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (text.size() < length) return {0, 0};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0u) != 0x80u) return {0, 0};
    point = (point << 6) | (byte(i) & 0x3Fu);
  }
  if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return {0, 0};
  return {point, length};
}

// Characters that show nothing of their own or change how the text around them reads: line
// and paragraph separators, the controls of bidirectional text (U+202E turns what follows
// around), joiners and other invisible marks, the byte order mark, the tags.
bool IsInvisibleOrBidirectional(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || c == 0xAD || c == 0x061C || c == 0x180E ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB) ||
         (c >= 0xE0000 && c <= 0xE007F);
}

// Escapes what EscapeLogText escapes, the quote and the backslash when `quotes` says so.
std::string Escape(std::string_view text, bool quotes) {
  std::string line;
  line.reserve(text.size());
  char code[16];
  for (std::size_t i = 0; i < text.size();) {
    const auto [point, length] = DecodeUtf8(text.substr(i));
    if (length == 0 || point < 0x20 || point == 0x7F) {
      std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned char>(text[i]));
      line += code;
      ++i;
      continue;
    }
    if (quotes && (point == '\\' || point == '"')) {
      line += '\\';
      line += static_cast<char>(point);
    } else if (IsInvisibleOrBidirectional(point)) {
      std::snprintf(code, sizeof code, point > 0xFFFF ? "\\U%08x" : "\\u%04x",
                    static_cast<unsigned>(point));
      line += code;
    } else {
      line.append(text.substr(i, length));
    }
    i += length;
  }
  return line;
}

// A line as a whole: the server's own quotes and backslashes stay, values were escaped
// (LogValue) before they were put into it, and nothing else can break or turn it.
std::string KeepOnOneLine(std::string_view text) { return Escape(text, false); }

}  // namespace

std::string EscapeLogText(std::string_view text) { return Escape(text, true); }

std::string LogValue(std::string_view text) {
  std::string value(1, '"');
  value += EscapeLogText(text);
  value += '"';
  return value;
}

void SetLogQuiet(bool value) { quiet = value; }

void LogLine(const std::string& text) {
  if (!quiet) Write(text);
}

void LogWarning(const std::string& text) { Write(text); }

}  // namespace tvx::example
