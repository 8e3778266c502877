#include "support/export_dialog_fixture.h"

#include "rtl/datetime.h"
#include "ui/core/backend.h"

namespace tvx::test {

const HistoryRow kOneExport[1] = {
    {1, EncodeDate(2024, 3, 10), EncodeDate(2024, 2, 1), EncodeDate(2024, 3, 1)}};

ExportDialogFixture::ExportDialogFixture() {
  SelectFormatSettings("ru-RU");
  connection = Create<TTestRemoteServer>(nullptr);
  connection->SetServer(server);
}

ExportDialogFixture::~ExportDialogFixture() {
  UiBackend().ProcessMessages();  // deferred releases
  Free(dialog);
  Free(connection);
  SetFormatSettings(saved_settings_);
}

TExport1CConfigDlg& ExportDialogFixture::OpenDialog(const DataPacketWriter& table) {
  server->SetPacket(table);
  dialog = Create<TExport1CConfigDlg>(nullptr);
  dialog->SetConnection(connection);
  return *dialog;
}

}  // namespace tvx::test
