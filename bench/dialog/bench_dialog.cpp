// Opening the export options dialog as the export command does (create it from its stored
// description, fetch the history through the connection, fill in the summary, free it), and
// opening and closing the history view over an open dialog, for histories of several sizes.
// The server is the in-process test server, so the figures hold the module's own work only.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "dialogs/export_history_form.h"
#include "dialogs/export_options_dialog.h"
#include "rtl/datetime.h"
#include "rtl/format_settings.h"
#include "support/history_table.h"
#include "support/test_app_server.h"
#include "support/test_remote_server.h"
#include "ui/headless/headless_driver.h"

namespace tvx {
namespace {

// One export a day, each covering the day before it.
std::vector<test::HistoryRow> DailyHistory(int64_t count) {
  std::vector<test::HistoryRow> rows;
  const TDateTime first = EncodeDate(2000, 1, 1);
  for (int64_t i = 0; i < count; ++i) {
    const TDateTime day = first + static_cast<double>(i);
    rows.push_back({static_cast<int32_t>(i + 1), day + 0.75, day - 1, day - 1});
  }
  return rows;
}

struct Setup {
  explicit Setup(int64_t rows) {
    SelectFormatSettings("ru-RU");
    server->SetPacket(test::HistoryTable(DailyHistory(rows)));
    connection->SetServer(server);
  }
  headless::HeadlessDriver ui;
  ComPtr<test::TestAppServer> server = test::TestAppServer::Create();
  TOwned<test::TTestRemoteServer> connection = CreateOwned<test::TTestRemoteServer>(nullptr);
};

void BM_OpenDialog(benchmark::State& state) {
  Setup setup(state.range(0));
  for (auto _ : state) {
    TOwned<TExport1CConfigDlg> dialog = CreateOwned<TExport1CConfigDlg>(nullptr);
    dialog->SetConnection(setup.connection.get());
    benchmark::DoNotOptimize(dialog->ePreviousExport->Caption().data());
  }
}
BENCHMARK(BM_OpenDialog)->Arg(0)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_ShowHistoryView(benchmark::State& state) {
  Setup setup(state.range(0));
  TOwned<TExport1CConfigDlg> dialog = CreateOwned<TExport1CConfigDlg>(nullptr);
  dialog->SetConnection(setup.connection.get());
  for (auto _ : state) {
    setup.ui.WhenModal([&](TCustomForm&) { setup.ui.Click("btnOK"); });
    dialog->btnShowHistoryClick(dialog->btnShowHistory);
    setup.ui.ProcessMessages();  // the deferred release
  }
}
BENCHMARK(BM_ShowHistoryView)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tvx

BENCHMARK_MAIN();
