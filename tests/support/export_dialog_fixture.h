// The export options dialog opened the way the export command opens it, for the tests of the
// dialog with the headless backend and with real windows: the Russian date format pinned, a
// test application server behind a connection, and the dialog created on a history and handed
// the connection.
//
// A test fixture derives from the fixture of its user interface first and from this one after
// it, so that the dialog is freed (its deferred releases handled first) while the user
// interface is still installed.
#pragma once

#include <initializer_list>
#include <span>

#include "com/com_ptr.h"
#include "db/data_packet_writer.h"
#include "dialogs/export_options_dialog.h"
#include "rtl/format_settings.h"
#include "support/history_table.h"
#include "support/test_app_server.h"
#include "support/test_remote_server.h"

namespace tvx::test {

// A history of one export, of 10 March 2024, that took 1 February to 1 March: the history over
// which options_dialog_layout.h gives the summary's texts.
extern const HistoryRow kOneExport[1];

class ExportDialogFixture {
 protected:
  ExportDialogFixture();
  ~ExportDialogFixture();
  ExportDialogFixture(const ExportDialogFixture&) = delete;
  ExportDialogFixture& operator=(const ExportDialogFixture&) = delete;

  // Creates the dialog and hands it the connection, whose server replies with `table` (with
  // the rows, with kOneExport).
  TExport1CConfigDlg& OpenDialog(const DataPacketWriter& table);
  TExport1CConfigDlg& OpenDialog(std::span<const HistoryRow> rows) {
    return OpenDialog(HistoryTable(rows));
  }
  TExport1CConfigDlg& OpenDialog(std::initializer_list<HistoryRow> rows) {
    return OpenDialog(std::span<const HistoryRow>(rows.begin(), rows.size()));
  }
  TExport1CConfigDlg& OpenDialog() { return OpenDialog(kOneExport); }

  ComPtr<TestAppServer> server = TestAppServer::Create();
  TTestRemoteServer* connection = nullptr;
  TExport1CConfigDlg* dialog = nullptr;

 private:
  TFormatSettings saved_settings_ = FormatSettings();
};

}  // namespace tvx::test
