// The export options dialog shown on real windows, at the resolution the test asks for: the
// Russian date format pinned, a test application server behind the connection, a history of
// one export.
#pragma once

#include <string>

#include "com/com_ptr.h"
#include "dialogs/export_options_dialog.h"
#include "rtl/format_settings.h"
#include "support/test_app_server.h"
#include "support/test_remote_server.h"
#include "win32_fixture.h"

namespace tvx::test {

class DialogWindowsTest : public Win32Test {
 protected:
  // The screen's resolution, and the one of the monitor the windows open on (0: the system's).
  explicit DialogWindowsTest(int pixels_per_inch = 0, int window_pixels_per_inch = 0);
  ~DialogWindowsTest() override;

  // Creates the dialog and hands it the connection, as the export command does.
  TExport1CConfigDlg& OpenDialog();

  // The name of the control whose window has the focus ("" when none of the dialog's has).
  std::string FocusedName() const;

  ComPtr<TestAppServer> server = TestAppServer::Create();
  TTestRemoteServer* connection = nullptr;
  TExport1CConfigDlg* dialog = nullptr;

 private:
  TFormatSettings saved_settings_ = FormatSettings();
};

}  // namespace tvx::test
