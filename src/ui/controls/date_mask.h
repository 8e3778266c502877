// The fixed layout of a date field's text: day, month and year in the order of the short
// date format, two digits for day and month, two or four for the year, the date separator
// between them. Positions not typed hold blanks, so an empty field reads "  .  .    ".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "rtl/date_layout.h"
#include "rtl/datetime.h"
#include "rtl/format_settings.h"

namespace tvx {

enum class TDatePart { Day, Month, Year };

class TDateMask {
 public:
  // A blank position of the text.
  static constexpr char kBlank = ' ';

  explicit TDateMask(const TDateLayout& layout);
  // The layout of the process-wide format settings.
  static TDateMask Current() { return TDateMask(DateLayoutOf(FormatSettings())); }

  const TDateLayout& Layout() const { return layout_; }
  // Number of characters of the text (10 for dd.MM.yyyy, 8 for dd.MM.yy).
  std::size_t Length() const { return blank_.size(); }
  // The text with every position blank.
  const std::string& BlankText() const { return blank_; }
  // Whether a position takes a digit (false for the separators).
  bool IsEditable(std::size_t position) const;
  // The first position and the number of digits of one part of the date.
  std::size_t PartStart(TDatePart part) const;
  std::size_t PartLength(TDatePart part) const;

  // The date part of a value in this layout; the blank text for 0 and for a value that is
  // no valid date.
  std::string Format(TDateTime value) const;
  // Whether every editable position is blank (a text of another length never is).
  bool IsBlank(std::string_view text) const;
  // Reads a text of this layout. Each part's digits must stand together (blanks only
  // before or after them). A year of one or two digits is expanded to the century
  // window around the current year; a blank year is the current year; a year of three
  // digits is incomplete. Day and month need at least one digit. Returns false (and
  // leaves `date` alone) for a blank, incomplete or impossible date.
  bool TryParse(std::string_view text, TDateTime& date) const;

 private:
  TDateLayout layout_;
  std::string blank_;
  std::size_t start_[3] = {};
  std::size_t length_[3] = {};
};

}  // namespace tvx
