// A form with the history view's grid over the history's record set and a button after it,
// shown with real windows, for the tests of the grid's window.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "db/data_source.h"
#include "native_form_fixture.h"
#include "native_input.h"
#include "support/format_settings_and_dates.h"
#include "support/history_grid.h"
#include "support/history_record_set.h"
#include "support/history_table.h"
#include "ui/controls/button.h"
#include "ui/data/db_grid.h"

namespace tvx::test {

class GridWindowTest : public NativeFormTest, public HistoryRecordSet {
 protected:
  void SetUp() override {
    NativeFormTest::SetUp();
    source = Create<TDataSource>(form);
    grid = Place<TDBGrid>("DBGrid1", 0, 0, 424, 286);
    SetUpHistoryColumns(*grid);
    grid->SetDataSource(source);
    button = Place<TButton>("btnOK", 343, 294, 75, 25);
  }

  void TearDown() override {
    NativeFormTest::TearDown();
    owner.reset();
  }

  // Opens the record set on the records (again, when it is open).
  void Load(const std::vector<HistoryRecord>& records) {
    OpenOn(HistoryTableWithTimesOfDay(records));
  }

  // Opens the record set on `count` days' records, moves to the last row as the export dialog
  // does, and shows the form.
  void Show(int count) { Show(DailyRecords(count)); }
  void Show(const std::vector<HistoryRecord>& records) {
    Load(records);
    cds->Last();
    source->SetDataSet(cds);
    form->Show();
    Pump();
    grid_window = HandleOf(grid);
    ASSERT_NE(grid_window, nullptr);
  }

  void FocusGrid() {
    SetFocus(grid_window);
    Pump();
  }

  SCROLLINFO ScrollBar() const {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(grid_window, SB_VERT, &info);
    return info;
  }

  static RECT Native(const TRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

  TDataSource* source = nullptr;
  TDBGrid* grid = nullptr;
  TButton* button = nullptr;
  HWND grid_window = nullptr;
};

}  // namespace tvx::test
