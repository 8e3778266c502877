#include "dialog_windows.h"

namespace tvx::test {

DialogWindowsTest::DialogWindowsTest(int pixels_per_inch, int window_pixels_per_inch)
    : Win32Test(win32::Win32Options{pixels_per_inch, window_pixels_per_inch}) {}

std::string DialogWindowsTest::FocusedName() const {
  HWND focus = GetFocus();
  if (dialog != nullptr && dialog->Handle() != 0) {
    std::string name = ControlNameOf(focus, *dialog);
    if (!name.empty()) return name;
  }
  for (TCustomForm* form : ShownForms()) {
    std::string name = ControlNameOf(focus, *form);
    if (!name.empty()) return name;
  }
  return {};
}

}  // namespace tvx::test
