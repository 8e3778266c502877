// Date fields: a window of our own class that draws the field's model (see
// ui/controls/date_edit.h): a sunken border, the text in its fixed layout with the selection and
// the caret where the model has them, and the drop-down button in the model's ButtonRect. Keys,
// typed characters and clicks reach the model through the shared handling of every peer, so the
// model alone fills the blanks, moves the caret and opens the calendar (a click on the button,
// Alt+Down, F4). While the model is dropped down the peer shows a CalendarPopup mirroring its
// selected day; a day clicked there is picked, the calendar's month arrows move the model's month,
// and a click elsewhere (or the focus leaving for another window) closes it without change.
//
// The window's text is the field's text, so tools that read window texts see the date. A screen
// reader knows the field as editable text named by the label before it, with the date text as
// its value, and hears of every change of the text.
#pragma once

#include <memory>

#include "ui/controls/date_edit.h"
#include "ui/win32/accessibility/accessible.h"
#include "ui/win32/peers/calendar_popup.h"
#include "ui/win32/peers/painted_peer.h"
#include "ui/win32/theme/window_theme.h"

namespace tvx::win32 {

class DateEditPeer : public PaintedPeer, private AccessibleSource {
 public:
  // Space between the field's left edge and its first character, as the model reckons when
  // it places the caret for a click.
  static constexpr int kTextMargin = 3;

  DateEditPeer(Win32Backend& backend, TJvDateEdit& edit);
  ~DateEditPeer() override;
  void Changed(ControlChange change) override;

  // The open calendar, or null.
  const CalendarPopup* Popup() const { return popup_.get(); }

 protected:
  WindowKind Kind() const override;
  void Created() override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  // Draws the whole field off-screen and copies it to dc at once.
  void Paint(HDC dc) override;
  void ThemeChanged() override { theme_.Forget(); }
  const AccessibleSource* Accessibility() const override { return this; }

 private:
  AccessibleItem Describe(const AccessiblePath& path) const override;
  TJvDateEdit& Edit() const { return static_cast<TJvDateEdit&>(Control()); }
  // Opens or closes the popup to match the model, and shows its selected day.
  void SyncDropDown();
  void PlaceCaret();
  HFONT Font() const;
  // Width of the first `count` characters of the text in the field's font.
  int TextWidth(HDC dc, const std::wstring& text, size_t count) const;
  // The vertical position of the text and its height.
  int TextTop(HDC dc, int* height) const;

  std::unique_ptr<CalendarPopup> popup_;
  bool has_caret_ = false;
  // The button is a combo box's drop-down button of the visual style, where one is active.
  WindowTheme theme_{L"COMBOBOX"};
};

}  // namespace tvx::win32
