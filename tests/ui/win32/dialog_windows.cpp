#include "dialog_windows.h"

#include "rtl/datetime.h"
#include "support/history_table.h"

namespace tvx::test {

DialogWindowsTest::DialogWindowsTest(int pixels_per_inch, int window_pixels_per_inch)
    : Win32Test(win32::Win32Options{pixels_per_inch, window_pixels_per_inch}) {
  SelectFormatSettings("ru-RU");
  connection = Create<TTestRemoteServer>(nullptr);
  connection->SetServer(server);
}

DialogWindowsTest::~DialogWindowsTest() {
  ui.Backend().ProcessMessages();
  Free(dialog);
  Free(connection);
  SetFormatSettings(saved_settings_);
}

TExport1CConfigDlg& DialogWindowsTest::OpenDialog() {
  const HistoryRow rows[] = {
      {1, EncodeDate(2024, 3, 10), EncodeDate(2024, 2, 1), EncodeDate(2024, 3, 1)}};
  server->SetPacket(HistoryTable(rows));
  dialog = Create<TExport1CConfigDlg>(nullptr);
  dialog->SetConnection(connection);
  return *dialog;
}

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
