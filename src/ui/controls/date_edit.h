// TJvDateEdit: a single-line field for one date, typed into a fixed layout taken from the
// short date format (see TDateMask), with a button at its right edge that drops down a
// month calendar. Its value is read from its text whenever it is asked for; a text that is
// neither blank nor a date is refused when the focus leaves the field.
//
// A native peer shows Text() with the caret and selection of Caret(), SelStart() and
// SelLength(), the button in ButtonRect(), and while DroppedDown() the calendar of
// Calendar(); it repaints on ControlChange::Text and ControlChange::Content, and passes the
// user's keys, text and clicks back through the control layer's input.
#pragma once

#include <cstddef>
#include <string>

#include "rtl/datetime.h"
#include "ui/controls/date_edit_text.h"
#include "ui/controls/month_calendar.h"
#include "ui/core/win_control.h"

namespace tvx {

class TJvDateEdit : public TWinControl {
  TVX_DECLARE_CLASS(TJvDateEdit, TWinControl)

  // The button's width at 96 pixels per inch; scaled with the field (ChangeScale).
  static constexpr int32_t kButtonWidth = 21;

  explicit TJvDateEdit(TComponent* owner);

  // The date the text holds (a whole day), or 0 for a blank, incomplete or impossible text.
  // There is no lowest or highest date, and a blank field does not read as today.
  TDateTime Date() const;
  // Shows the date part of a value; 0, or a value that is no valid date, blanks the text.
  void SetDate(TDateTime value);

  // The text as shown: every position of the layout, blanks where nothing is typed.
  const std::string& Text() const { return text_.Text(); }
  // Fits a text into the layout (see TDateEditText::SetText).
  void SetText(const std::string& text);
  bool IsBlank() const { return text_.IsBlank(); }
  const TDateMask& Mask() const { return text_.Mask(); }
  // Takes the layout of the current format settings again; a date already in the field is
  // shown in the new layout.
  void UpdateMask();

  std::size_t Caret() const { return text_.Caret(); }
  std::size_t SelStart() const { return text_.SelStart(); }
  std::size_t SelLength() const { return text_.SelLength(); }
  void Select(std::size_t start, std::size_t length);

  // Raises EConvertError "'<text>' is not a valid date" unless the text is blank or a date.
  void ValidateEdit() const;

  // The drop-down calendar: DropDown opens it on the field's date (today when the field is
  // blank); CloseUp closes it, with `accept` taking its selected day into the field.
  bool DroppedDown() const { return dropped_down_; }
  const TMonthCalendar& Calendar() const { return calendar_; }
  void DropDown();
  void CloseUp(bool accept);
  // A day of the open calendar clicked: selects it, takes it into the field and closes.
  void PickDate(TDateTime date);
  // The calendar's month arrows.
  void ShowPreviousMonth();
  void ShowNextMonth();
  // The button's rectangle in client coordinates.
  TRect ButtonRect() const;
  // Scales the button's width along with the field's bounds and font.
  void ChangeScale(int32_t m, int32_t d) override;

  // Fires whenever the text changes.
  TNotifyEvent& OnChange() { return on_change_; }

  bool FocusOnClick() const override { return true; }
  // Alt+Down and F4 open the calendar; while it is open the keys operate it (Enter picks,
  // Escape closes without change). Otherwise Left, Right, Home and End move the caret
  // (with Shift they select) and Backspace and Delete blank positions.
  bool DoKeyDown(KeyCode key, ShiftState shift) override;
  // Digits fill the layout; other characters are ignored.
  bool DoText(const std::string& text) override;
  // A click on the button opens or closes the calendar; a click on the text places the
  // caret.
  void DoMouseDown(TMouseButton button, ShiftState shift, TPoint point) override;
  // Entering selects the whole text.
  void DoEnter() override;
  // Leaving closes the calendar without change, then refuses a text that is neither blank
  // nor a date (the focus stays and EConvertError passes on); a date is shown completed.
  void DoExit() override;

 protected:
  ~TJvDateEdit() override = default;

 private:
  // Tells the peer and OnChange after an edit; `changed` says whether the text changed.
  void Edited(bool changed);
  int32_t TextWidth(const std::string& text) const;
  std::size_t CaretAt(int32_t x) const;

  TDateEditText text_;
  TMonthCalendar calendar_;
  bool dropped_down_ = false;
  int32_t button_width_ = kButtonWidth;
  TNotifyEvent on_change_;
};

}  // namespace tvx
