// The data grid over record sets of growing size: binding the grid to an open record set
// positioned on its last row, and jumping between the first and last rows, each followed by
// reading every text that a peer paints (titles and the visible cells). The grid computes
// its window from the current row, so the times should not grow with the row count.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/client_data_set.h"
#include "db/data_source.h"
#include "rtl/format_settings.h"
#include "support/history_grid.h"
#include "support/history_record_set.h"
#include "support/history_table.h"
#include "ui/core/form.h"
#include "ui/core/initialize_ui.h"
#include "ui/data/db_grid.h"
#include "ui/headless/headless_driver.h"

namespace tvx {
namespace {

constexpr double kFirstDay = 40909.0;  // 1 January 2012

headless::HeadlessDriver* Driver() {
  static auto* driver = new headless::HeadlessDriver;
  return driver;
}

// A shown form with the history view's grid (424 x 286) over the history's record set of
// `rows` rows.
class GridBench {
 public:
  explicit GridBench(int32_t rows) {
    SelectFormatSettings("ru-RU");
    InitializeUi();
    std::vector<test::HistoryRecord> records;
    records.reserve(static_cast<size_t>(rows));
    for (int32_t i = 0; i < rows; ++i) {
      const double when = kFirstDay + i / 24.0;  // one export an hour
      records.push_back({i + 1, when, when - 7, when - 1});
    }
    history_.OpenOn(test::HistoryTableWithTimesOfDay(records));

    form_ = Create<TForm>(nullptr, kCreateNew);
    source_ = Create<TDataSource>(form_);
    grid_ = Create<TDBGrid>(form_);
    grid_->SetBounds(0, 0, 424, 286);
    test::SetUpHistoryColumns(*grid_);
    grid_->SetDataSource(source_);
    grid_->SetParent(form_);
    form_->Show();
  }

  TClientDataSet* DataSet() { return history_.cds; }
  TDataSource* Source() { return source_; }
  TForm& Form() { return *form_; }
  headless::HeadlessDriver& Ui() { return *ui_; }

  // Reads what a repaint reads; returns the number of characters, so nothing is optimised
  // away.
  size_t Paint() const {
    size_t characters = 0;
    for (int32_t column = 0; column < grid_->ColumnCount(); ++column) {
      characters += grid_->TitleText(column).size();
    }
    const int32_t top = grid_->TopRow();
    for (int32_t shown = 0; shown < grid_->ShownRowCount(); ++shown) {
      for (int32_t column = 0; column < grid_->ColumnCount(); ++column) {
        characters += grid_->CellText(top + shown, column).size();
      }
    }
    return characters;
  }

 private:
  // One backend for every fixture, installed before the first form is shown.
  headless::HeadlessDriver* ui_ = Driver();
  test::HistoryRecordSet history_;
  TForm* form_ = nullptr;
  TDataSource* source_ = nullptr;
  TDBGrid* grid_ = nullptr;
};

// One fixture per row count, built once and kept to the end of the process: filling a
// million rows is not what is measured.
GridBench& BenchFor(int32_t rows) {
  static auto* benches = new std::map<int32_t, std::unique_ptr<GridBench>>;
  auto& bench = (*benches)[rows];
  if (!bench) bench = std::make_unique<GridBench>(rows);
  return *bench;
}

void BM_BindOnLastRowAndPaint(benchmark::State& state) {
  GridBench& bench = BenchFor(static_cast<int32_t>(state.range(0)));
  bench.DataSet()->Last();
  for (auto _ : state) {
    bench.Source()->SetDataSet(bench.DataSet());
    benchmark::DoNotOptimize(bench.Paint());
    bench.Source()->SetDataSet(nullptr);
  }
}
BENCHMARK(BM_BindOnLastRowAndPaint)->Arg(1000)->Arg(100000)->Arg(1000000);

void BM_CtrlHomeCtrlEndAndPaint(benchmark::State& state) {
  GridBench& bench = BenchFor(static_cast<int32_t>(state.range(0)));
  bench.Source()->SetDataSet(bench.DataSet());
  bool home = true;
  for (auto _ : state) {
    bench.Ui().Press(home ? kVkHome : kVkEnd, kCtrl);
    home = !home;
    benchmark::DoNotOptimize(bench.Paint());
  }
  bench.Source()->SetDataSet(nullptr);
}
BENCHMARK(BM_CtrlHomeCtrlEndAndPaint)->Arg(1000)->Arg(100000)->Arg(1000000);

void BM_PageDownAndPaint(benchmark::State& state) {
  GridBench& bench = BenchFor(static_cast<int32_t>(state.range(0)));
  bench.Source()->SetDataSet(bench.DataSet());
  bench.DataSet()->First();
  for (auto _ : state) {
    bench.Ui().Press(kVkNext);
    if (bench.DataSet()->RecNo() == bench.DataSet()->RecordCount()) bench.DataSet()->First();
    benchmark::DoNotOptimize(bench.Paint());
  }
  bench.Source()->SetDataSet(nullptr);
}
BENCHMARK(BM_PageDownAndPaint)->Arg(1000)->Arg(100000)->Arg(1000000);

}  // namespace
}  // namespace tvx

BENCHMARK_MAIN();
