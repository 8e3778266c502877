#include "server/store/sql_time.h"

#include <cmath>
#include <cstdio>

namespace tvx::example {

namespace {

// Reads exactly `digits` decimal digits at `pos`.
bool Digits(std::string_view text, std::size_t pos, std::size_t digits, int& value) {
  if (pos + digits > text.size()) return false;
  value = 0;
  for (std::size_t i = pos; i < pos + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

std::string SqlDate(TDateTime value) {
  int y = 0, m = 0, d = 0;
  DecodeDate(value, y, m, d);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
  return text;
}

std::string SqlDateTime(TDateTime value) {
  int h = 0, n = 0, s = 0, ms = 0;
  DecodeTime(value, h, n, s, ms);
  char text[16];
  std::snprintf(text, sizeof text, " %02d:%02d:%02d", h, n, s);
  return SqlDate(value) + text;
}

std::optional<TDateTime> ParseSqlDateTime(std::string_view text) {
  int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, ms = 0;
  if (text.size() < 10 || !Digits(text, 0, 4, y) || text[4] != '-' || !Digits(text, 5, 2, m) ||
      text[7] != '-' || !Digits(text, 8, 2, d)) {
    return std::nullopt;
  }
  std::size_t pos = 10;
  if (pos < text.size()) {
    if ((text[pos] != ' ' && text[pos] != 'T') || !Digits(text, pos + 1, 2, h) ||
        pos + 3 >= text.size() || text[pos + 3] != ':' || !Digits(text, pos + 4, 2, n)) {
      return std::nullopt;
    }
    pos += 6;
    if (pos < text.size()) {
      if (text[pos] != ':' || !Digits(text, pos + 1, 2, s)) return std::nullopt;
      pos += 3;
      if (pos < text.size()) {
        if (text[pos] != '.' || !Digits(text, pos + 1, 3, ms) || pos + 4 != text.size()) {
          return std::nullopt;
        }
      }
    }
  }
  TDateTime date = 0;
  TDateTime time = 0;
  if (!TryEncodeDate(y, m, d, date) || !TryEncodeTime(h, n, s, ms, time)) return std::nullopt;
  return ComposeDateTime(date, time);
}

TDateTime NowToTheSecond() {
  const TDateTime now = Now();
  int h = 0, n = 0, s = 0, ms = 0;
  DecodeTime(now, h, n, s, ms);
  return ComposeDateTime(DateOf(now), EncodeTime(h, n, s, 0));
}

}  // namespace tvx::example
