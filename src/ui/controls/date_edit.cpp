#include "ui/controls/date_edit.h"

#include <cstdlib>

#include "classes/class_builder.h"
#include "rtl/exceptions.h"

namespace tvx {

namespace {
// Space between the border and the first character.
constexpr int32_t kTextMargin = 3;
}  // namespace

TVX_IMPLEMENT_CLASS(TJvDateEdit) {
  TVX_PROPERTY(Date);
  c.Event("OnChange", &TJvDateEdit::OnChange);
}

TJvDateEdit::TJvDateEdit(TComponent* owner) : TWinControl(owner), text_(TDateMask::Current()) {
  InitBounds(TBounds{0, 0, 121, 21});
  SetTabStop(true);
  SetColor(clWindow);
}

TDateTime TJvDateEdit::Date() const {
  TDateTime date = 0;
  return text_.Mask().TryParse(text_.Text(), date) ? date : 0;
}

void TJvDateEdit::SetDate(TDateTime value) {
  text_.SetMask(TDateMask::Current());
  const std::string before = text_.Text();
  text_.SetText(text_.Mask().Format(value));
  Edited(text_.Text() != before);
}

void TJvDateEdit::SetText(const std::string& text) {
  const std::string before = text_.Text();
  text_.SetText(text);
  Edited(text_.Text() != before);
}

void TJvDateEdit::UpdateMask() {
  const std::string before = text_.Text();
  text_.SetMask(TDateMask::Current());
  Edited(text_.Text() != before);
}

void TJvDateEdit::Select(std::size_t start, std::size_t length) {
  text_.Select(start, length);
  Edited(false);
}

void TJvDateEdit::ValidateEdit() const {
  TDateTime date = 0;
  if (!text_.IsBlank() && !text_.Mask().TryParse(text_.Text(), date)) {
    throw EConvertError("'" + text_.Text() + "' is not a valid date");
  }
}

void TJvDateEdit::Edited(bool changed) {
  if (changed) Changed(ControlChange::Text);
  Changed(ControlChange::Content);
  if (changed) on_change_.Fire(this);
}

// The drop-down calendar.

void TJvDateEdit::DropDown() {
  if (dropped_down_) return;
  calendar_.Start(Date());
  dropped_down_ = true;
  Changed(ControlChange::Content);
}

void TJvDateEdit::CloseUp(bool accept) {
  if (!dropped_down_) return;
  dropped_down_ = false;
  if (accept) {
    SetDate(calendar_.Selected());
  } else {
    Changed(ControlChange::Content);
  }
}

void TJvDateEdit::PickDate(TDateTime date) {
  if (!dropped_down_) return;
  calendar_.Select(date);
  CloseUp(true);
}

void TJvDateEdit::ShowPreviousMonth() {
  if (!dropped_down_) return;
  calendar_.MoveMonths(-1);
  Changed(ControlChange::Content);
}

void TJvDateEdit::ShowNextMonth() {
  if (!dropped_down_) return;
  calendar_.MoveMonths(1);
  Changed(ControlChange::Content);
}

TRect TJvDateEdit::ButtonRect() const {
  const int32_t width = Width() < button_width_ ? Width() : button_width_;
  return TRect{Width() - width, 0, Width(), Height()};
}

void TJvDateEdit::ChangeScale(int32_t m, int32_t d) {
  TWinControl::ChangeScale(m, d);
  if (m == d || d == 0) return;
  button_width_ = MulDiv(button_width_, m, d);
  Changed(ControlChange::Content);
}

// Input.

bool TJvDateEdit::DoKeyDown(KeyCode key, ShiftState shift) {
  const bool opens = key == kVkF4 || (shift.alt && key == kVkDown);
  if (dropped_down_) {
    if (opens || (shift.alt && key == kVkUp)) {
      CloseUp(false);
      return true;
    }
    if (key == kVkTab) {
      // The focus moves on; the calendar closes as the field is left.
      return false;
    }
    switch (calendar_.KeyDown(key, shift)) {
      case TCalendarAction::Picked:
        CloseUp(true);
        break;
      case TCalendarAction::Cancelled:
        CloseUp(false);
        break;
      case TCalendarAction::Moved:
        Changed(ControlChange::Content);
        break;
      case TCalendarAction::None:
        break;
    }
    return true;
  }
  if (opens) {
    DropDown();
    return true;
  }
  if (shift.alt || shift.ctrl) return false;
  switch (key) {
    case kVkLeft:
      text_.MoveCaret(TCaretMove::Left, shift.shift);
      Edited(false);
      return true;
    case kVkRight:
      text_.MoveCaret(TCaretMove::Right, shift.shift);
      Edited(false);
      return true;
    case kVkHome:
      text_.MoveCaret(TCaretMove::Home, shift.shift);
      Edited(false);
      return true;
    case kVkEnd:
      text_.MoveCaret(TCaretMove::End, shift.shift);
      Edited(false);
      return true;
    case kVkBack:
      Edited(text_.Backspace());
      return true;
    case kVkDelete:
      Edited(text_.Delete());
      return true;
    default:
      return false;
  }
}

bool TJvDateEdit::DoText(const std::string& text) {
  if (dropped_down_) return true;
  bool changed = false;
  for (char c : text) changed = text_.Type(c) || changed;
  Edited(changed);
  return true;
}

void TJvDateEdit::DoMouseDown(TMouseButton button, ShiftState /*shift*/, TPoint point) {
  if (button != TMouseButton::mbLeft) return;
  const TRect button_rect = ButtonRect();
  if (point.x >= button_rect.left && point.x < button_rect.right) {
    if (dropped_down_) {
      CloseUp(false);
    } else {
      DropDown();
    }
    return;
  }
  CloseUp(false);
  text_.Select(CaretAt(point.x), 0);
  Edited(false);
}

int32_t TJvDateEdit::TextWidth(const std::string& text) const {
  if (text.empty()) return 0;
  if (HasUiBackend()) return UiBackend().MeasureText(text, *Font()).cx;
  return static_cast<int32_t>(text.size()) * Font()->PixelHeight() * 2 / 3;
}

std::size_t TJvDateEdit::CaretAt(int32_t x) const {
  // The caret goes to the gap between characters nearest to the point.
  const std::string& text = text_.Text();
  std::size_t best = 0;
  int32_t best_distance = -1;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const int32_t gap = kTextMargin + TextWidth(text.substr(0, i));
    const int32_t distance = std::abs(gap - x);
    if (best_distance < 0 || distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return best;
}

void TJvDateEdit::DoEnter() {
  text_.SelectAll();
  Edited(false);
}

void TJvDateEdit::DoExit() {
  CloseUp(false);
  ValidateEdit();
  if (!text_.IsBlank()) {
    // Show the date as it was read: a short year expanded, single digits padded.
    const std::string before = text_.Text();
    text_.SetText(text_.Mask().Format(Date()));
    Edited(text_.Text() != before);
  }
}

}  // namespace tvx
