#include "rtl/date_parse.h"

#include "rtl/date_layout.h"
#include "rtl/exceptions.h"

namespace tvx {
namespace {

constexpr int kCenturyWindow = 50;

struct Number {
  int value;
  int digits;
};

int CurrentYear() {
  int year = 0, month = 0, day = 0;
  DecodeDate(Date(), year, month, day);
  return year;
}

}  // namespace

int ExpandTwoDigitYear(int two_digit_year, int current_year) {
  int first = current_year - kCenturyWindow;  // the earliest year the window holds
  int year = first - first % 100 + two_digit_year;
  if (year < first) year += 100;
  return year;
}

bool TryStrToDate(std::string_view text, TDateTime& date, const TFormatSettings& settings) {
  return TryStrToDate(text, date, DateLayoutOf(settings));
}

bool TryStrToDate(std::string_view text, TDateTime& date, const TDateLayout& layout) {
  const char separator = layout.Separator;
  std::size_t pos = 0;
  auto skip_blanks = [&] {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t') && text[pos] != separator) {
      ++pos;
    }
  };
  auto read_number = [&](Number& number) {
    number = {0, 0};
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      if (++number.digits > 4) return false;
      number.value = number.value * 10 + (text[pos++] - '0');
    }
    return number.digits > 0;
  };

  Number numbers[3];
  int count = 0;
  skip_blanks();
  while (count < 3) {
    if (!read_number(numbers[count])) return false;
    ++count;
    skip_blanks();
    if (pos == text.size() || text[pos] != separator) break;
    ++pos;  // the separator; after the last number it may end the text
    skip_blanks();
    if (pos == text.size() && count >= 2) break;
  }
  if (pos != text.size() || count < 2) return false;

  Number day{}, month{}, year{};
  bool has_year = count == 3;
  switch (layout.Order) {
    case TDateOrder::MDY:
      month = numbers[0], day = numbers[1], year = numbers[2];
      break;
    case TDateOrder::DMY:
      day = numbers[0], month = numbers[1], year = numbers[2];
      break;
    case TDateOrder::YMD:
      if (has_year) {
        year = numbers[0], month = numbers[1], day = numbers[2];
      } else {
        month = numbers[0], day = numbers[1];
      }
      break;
  }
  if (day.digits > 2 || month.digits > 2) return false;
  int full_year = CurrentYear();
  if (has_year) {
    full_year = year.digits <= 2 ? ExpandTwoDigitYear(year.value, full_year) : year.value;
  }
  return TryEncodeDate(full_year, month.value, day.value, date);
}

TDateTime StrToDate(std::string_view text, const TFormatSettings& settings) {
  TDateTime date = 0;
  if (!TryStrToDate(text, date, settings)) {
    throw EConvertError("'" + std::string(text) + "' is not a valid date");
  }
  return date;
}

}  // namespace tvx
