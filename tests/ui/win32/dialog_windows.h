// The export options dialog shown on real windows, at the resolution the test asks for, opened
// as the export command opens it (support/export_dialog_fixture.h: the Russian date format
// pinned, a test application server behind the connection), by default on a history of one
// export.
#pragma once

#include <string>

#include "support/export_dialog_fixture.h"
#include "win32_fixture.h"

namespace tvx::test {

class DialogWindowsTest : public Win32Test, public ExportDialogFixture {
 protected:
  // The screen's resolution, and the one of the monitor the windows open on (0: the system's).
  explicit DialogWindowsTest(int pixels_per_inch = 0, int window_pixels_per_inch = 0);

  // The name of the control whose window has the focus ("" when none of the dialog's has).
  std::string FocusedName() const;
};

}  // namespace tvx::test
