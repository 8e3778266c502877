#include "ui/controls/date_edit_text.h"

#include <algorithm>

namespace tvx {

TDateEditText::TDateEditText(const TDateMask& mask) : mask_(mask), text_(mask.BlankText()) {}

void TDateEditText::SetMask(const TDateMask& mask) {
  TDateTime date = 0;
  bool had_date = mask_.TryParse(text_, date);
  mask_ = mask;
  text_ = had_date ? mask_.Format(date) : mask_.BlankText();
  caret_ = anchor_ = 0;
}

void TDateEditText::SetText(std::string_view text) {
  text_ = mask_.BlankText();
  for (std::size_t i = 0; i < text_.size() && i < text.size(); ++i) {
    if (mask_.IsEditable(i) && text[i] >= '0' && text[i] <= '9') text_[i] = text[i];
  }
  caret_ = anchor_ = 0;
}

void TDateEditText::Select(std::size_t start, std::size_t length) {
  anchor_ = std::min(start, text_.size());
  caret_ = std::min(anchor_ + std::min(length, text_.size()), text_.size());
}

void TDateEditText::MoveCaret(TCaretMove move, bool extend) {
  switch (move) {
    case TCaretMove::Left:
      if (!extend && SelLength() > 0) {
        caret_ = SelStart();
      } else if (caret_ > 0) {
        --caret_;
      }
      break;
    case TCaretMove::Right:
      if (!extend && SelLength() > 0) {
        caret_ = SelStart() + SelLength();
      } else if (caret_ < text_.size()) {
        ++caret_;
      }
      break;
    case TCaretMove::Home:
      caret_ = 0;
      break;
    case TCaretMove::End:
      caret_ = text_.size();
      break;
  }
  if (!extend) anchor_ = caret_;
}

std::size_t TDateEditText::NextEditable(std::size_t from) const {
  while (from < text_.size() && !mask_.IsEditable(from)) ++from;
  return from;
}

bool TDateEditText::ClearSelection() {
  bool changed = false;
  std::size_t start = SelStart();
  std::size_t end = start + SelLength();
  for (std::size_t i = start; i < end; ++i) {
    if (mask_.IsEditable(i) && text_[i] != TDateMask::kBlank) {
      text_[i] = TDateMask::kBlank;
      changed = true;
    }
  }
  caret_ = anchor_ = start;
  return changed;
}

bool TDateEditText::Type(char c) {
  if (c >= '0' && c <= '9') {
    bool changed = ClearSelection();
    std::size_t position = NextEditable(caret_);
    if (position >= text_.size()) return changed;
    changed = changed || text_[position] != c;
    text_[position] = c;
    caret_ = anchor_ = NextEditable(position + 1);
    return changed;
  }
  if (c == mask_.Layout().Separator && SelLength() == 0 && caret_ < text_.size() &&
      !mask_.IsEditable(caret_)) {
    caret_ = anchor_ = NextEditable(caret_);
  }
  return false;
}

bool TDateEditText::Backspace() {
  if (SelLength() > 0) return ClearSelection();
  std::size_t position = caret_;
  while (position > 0) {
    --position;
    if (mask_.IsEditable(position)) {
      bool changed = text_[position] != TDateMask::kBlank;
      text_[position] = TDateMask::kBlank;
      caret_ = anchor_ = position;
      return changed;
    }
  }
  return false;
}

bool TDateEditText::Delete() {
  if (SelLength() > 0) return ClearSelection();
  std::size_t position = NextEditable(caret_);
  if (position >= text_.size()) return false;
  bool changed = text_[position] != TDateMask::kBlank;
  text_[position] = TDateMask::kBlank;
  return changed;
}

}  // namespace tvx
