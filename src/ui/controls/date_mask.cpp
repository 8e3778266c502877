#include "ui/controls/date_mask.h"

#include <array>

#include "rtl/date_parse.h"

namespace tvx {

namespace {

std::array<TDatePart, 3> PartOrder(TDateOrder order) {
  switch (order) {
    case TDateOrder::MDY:
      return {TDatePart::Month, TDatePart::Day, TDatePart::Year};
    case TDateOrder::YMD:
      return {TDatePart::Year, TDatePart::Month, TDatePart::Day};
    case TDateOrder::DMY:
      break;
  }
  return {TDatePart::Day, TDatePart::Month, TDatePart::Year};
}

std::size_t Index(TDatePart part) { return static_cast<std::size_t>(part); }

void WriteDigits(std::string& text, std::size_t start, std::size_t length, int value) {
  for (std::size_t i = length; i > 0; --i) {
    text[start + i - 1] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

// The number in one part of the text: its digits must stand together, blanks may surround
// them. Returns the count of digits, or -1 when the part holds anything else.
int ReadPart(std::string_view part, int& value) {
  std::size_t first = part.find_first_not_of(TDateMask::kBlank);
  if (first == std::string_view::npos) return 0;
  std::size_t last = part.find_last_not_of(TDateMask::kBlank);
  value = 0;
  for (std::size_t i = first; i <= last; ++i) {
    if (part[i] < '0' || part[i] > '9') return -1;
    value = value * 10 + (part[i] - '0');
  }
  return static_cast<int>(last - first + 1);
}

int CurrentYear() {
  int year = 0, month = 0, day = 0;
  DecodeDate(tvx::Date(), year, month, day);
  return year;
}

}  // namespace

TDateMask::TDateMask(const TDateLayout& layout) : layout_(layout) {
  length_[Index(TDatePart::Day)] = 2;
  length_[Index(TDatePart::Month)] = 2;
  length_[Index(TDatePart::Year)] = layout.FourDigitYear ? 4 : 2;
  std::size_t position = 0;
  for (TDatePart part : PartOrder(layout.Order)) {
    if (position > 0) {
      blank_ += layout.Separator;
      ++position;
    }
    start_[Index(part)] = position;
    blank_.append(length_[Index(part)], kBlank);
    position += length_[Index(part)];
  }
}

bool TDateMask::IsEditable(std::size_t position) const {
  if (position >= blank_.size()) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if (position >= start_[i] && position < start_[i] + length_[i]) return true;
  }
  return false;
}

std::size_t TDateMask::PartStart(TDatePart part) const { return start_[Index(part)]; }
std::size_t TDateMask::PartLength(TDatePart part) const { return length_[Index(part)]; }

std::string TDateMask::Format(TDateTime value) const {
  if (value == 0 || !IsValidDateTime(value)) return blank_;
  int year = 0, month = 0, day = 0;
  DecodeDate(value, year, month, day);
  if (!layout_.FourDigitYear) year %= 100;
  std::string text = blank_;
  WriteDigits(text, PartStart(TDatePart::Day), PartLength(TDatePart::Day), day);
  WriteDigits(text, PartStart(TDatePart::Month), PartLength(TDatePart::Month), month);
  WriteDigits(text, PartStart(TDatePart::Year), PartLength(TDatePart::Year), year);
  return text;
}

bool TDateMask::IsBlank(std::string_view text) const {
  if (text.size() != blank_.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsEditable(i) ? text[i] != kBlank : text[i] != blank_[i]) return false;
  }
  return true;
}

bool TDateMask::TryParse(std::string_view text, TDateTime& date) const {
  if (text.size() != blank_.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsEditable(i) && text[i] != blank_[i]) return false;
  }
  auto part_text = [&](TDatePart part) { return text.substr(PartStart(part), PartLength(part)); };
  int day = 0, month = 0, year = 0;
  if (ReadPart(part_text(TDatePart::Day), day) <= 0) return false;
  if (ReadPart(part_text(TDatePart::Month), month) <= 0) return false;
  int year_digits = ReadPart(part_text(TDatePart::Year), year);
  switch (year_digits) {
    case 0:
      year = CurrentYear();
      break;
    case 1:
    case 2:
      year = ExpandTwoDigitYear(year, CurrentYear());
      break;
    case 4:
      break;
    default:
      return false;
  }
  return TryEncodeDate(year, month, day, date);
}

}  // namespace tvx
