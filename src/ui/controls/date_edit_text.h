// The text of a date field while it is edited: a fixed layout (TDateMask) in which typing
// overwrites blanks or digits left to right, skipping the separators, and Backspace and
// Delete blank positions instead of closing up the text. Holds the caret and the selection
// so that a native edit control can show exactly what this model holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ui/controls/date_mask.h"

namespace tvx {

enum class TCaretMove { Left, Right, Home, End };

class TDateEditText {
 public:
  explicit TDateEditText(const TDateMask& mask);

  const TDateMask& Mask() const { return mask_; }
  // Changes the layout; the date the text held (if any) is shown in the new one.
  void SetMask(const TDateMask& mask);

  const std::string& Text() const { return text_; }
  // Fits a text into the layout: each position takes the text's digit there (a digit at a
  // separator's place is dropped), all else is blank. The caret goes to the start.
  void SetText(std::string_view text);
  bool IsBlank() const { return mask_.IsBlank(text_); }

  // The caret lies between characters: 0 before the first, Length() after the last. The
  // selection runs from the anchor to the caret.
  std::size_t Caret() const { return caret_; }
  std::size_t SelStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
  std::size_t SelLength() const { return caret_ < anchor_ ? anchor_ - caret_ : caret_ - anchor_; }
  // Selects `length` characters from `start` (clamped to the text); the caret ends at the
  // selection's end.
  void Select(std::size_t start, std::size_t length);
  void SelectAll() { Select(0, text_.size()); }
  // Moves the caret; with `extend` the selection grows or shrinks, otherwise it collapses.
  void MoveCaret(TCaretMove move, bool extend);

  // A character typed. A digit blanks the selection (if any), then fills the first editable
  // position at or after the caret; the caret moves past it and past a following separator.
  // The date separator typed in front of a separator steps over it. Anything else is
  // ignored. Returns whether the text changed.
  bool Type(char c);
  // Blanks the selection, or else the editable position before the caret (the caret moves
  // there). Returns whether the text changed.
  bool Backspace();
  // Blanks the selection, or else the first editable position at or after the caret.
  // Returns whether the text changed.
  bool Delete();

 private:
  bool ClearSelection();
  std::size_t NextEditable(std::size_t from) const;

  TDateMask mask_;
  std::string text_;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
};

}  // namespace tvx
