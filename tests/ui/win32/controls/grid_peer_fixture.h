// A form with the history view's grid over a record set of dated rows and a button after it,
// shown with real windows, for the tests of the grid's window.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "db/client_data_set.h"
#include "db/data_packet_variant.h"
#include "db/data_packet_writer.h"
#include "db/fields.h"
#include "native_form_fixture.h"
#include "native_input.h"
#include "rtl/rtl_test_support.h"
#include "support/history_grid.h"
#include "ui/controls/button.h"
#include "ui/data/db_grid.h"

namespace tvx::test {

// A row of the export history.
struct HistoryRecord {
  int id;
  TDateTime date;
  TDateTime from;
  TDateTime to;
};

// `count` records, one a day from 1 January 2012 (ID = position), each exporting the week
// before it.
inline std::vector<HistoryRecord> DailyRecords(int count) {
  std::vector<HistoryRecord> records;
  const TDateTime first = testing_support::At(2012, 1, 1);
  for (int i = 0; i < count; ++i) {
    const TDateTime day = first + i;
    records.push_back({i + 1, day, day - 7, day - 1});
  }
  return records;
}

class GridWindowTest : public NativeFormTest {
 protected:
  void SetUp() override {
    NativeFormTest::SetUp();
    data = CreateOwned<TComponent>(nullptr);
    cds = Create<TClientDataSet>(data.get());
    cds->SetIndexFieldNames("EXPORT_DATE");
    id = AddField<TIntegerField>("ID");
    for (const char* name : {"EXPORT_DATE", "EXPORT_FROM", "EXPORT_TO"}) {
      AddField<TDateTimeField>(name);
    }
    source = Create<TDataSource>(form);
    grid = Place<TDBGrid>("DBGrid1", 0, 0, 424, 286);
    SetUpHistoryColumns(*grid);
    grid->SetDataSource(source);
    button = Place<TButton>("btnOK", 343, 294, 75, 25);
  }

  void TearDown() override {
    NativeFormTest::TearDown();
    data.reset();
  }

  template <class F>
  F* AddField(const char* name) {
    F* field = Create<F>(data.get());
    field->SetFieldName(name);
    field->SetDataSet(cds);
    return field;
  }

  // Opens the record set on the records (again, when it is open).
  void Load(const std::vector<HistoryRecord>& records) {
    DataPacketWriter writer;
    writer.AddColumn("ID", ftAutoInc, false)
        .AddColumn("EXPORT_DATE", ftDateTime)
        .AddColumn("EXPORT_FROM", ftDateTime)
        .AddColumn("EXPORT_TO", ftDateTime);
    for (const HistoryRecord& r : records) writer.AddRow({r.id, r.date, r.from, r.to});
    cds->SetData(*DataPacketToVariant(writer.Encode()));
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

  TOwned<TComponent> data;
  TClientDataSet* cds = nullptr;
  TIntegerField* id = nullptr;
  TDataSource* source = nullptr;
  TDBGrid* grid = nullptr;
  TButton* button = nullptr;
  HWND grid_window = nullptr;
};

}  // namespace tvx::test
