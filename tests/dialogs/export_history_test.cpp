// The export history view opened from the dialog: what it shows, where it starts, what it
// keeps between openings, and the one change an operator can make in it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "dialogs/export_history_form.h"

namespace tvx::test {
namespace {

// Many exports, one a week, each exporting the week before it: more rows than the grid
// shows at once. Sent newest first, so that only the index puts them in order.
std::vector<HistoryRow> WeeklyHistory(int count) {
  std::vector<HistoryRow> rows;
  for (int i = count; i >= 1; --i) {
    const TDateTime day = Day(2023, 1, 2) + 7 * i;
    rows.push_back({i, day + At(17, 30), day - 7, day - 1});
  }
  return rows;
}

class HistoryViewTest : public DialogTest {
 protected:
  // Opens the view from the dialog `times` times; `inside` runs in each shown view with the
  // opening's number; the view is then closed with its button and the dialog cancelled.
  void OpenViewTimes(int times,
                     const std::function<void(int, TExportHistoryForm&, TDBGrid&)>& inside) {
    ui.WhenModal([&](TCustomForm&) {
      for (int i = 0; i < times; ++i) ui.Click("btnShowHistory");
      ui.Click("btnCancel");
    });
    for (int i = 0; i < times; ++i) {
      ui.WhenModal([&, i](TCustomForm& view) {
        inside(i, dynamic_cast<TExportHistoryForm&>(view), ui.Find<TDBGrid>("DBGrid1"));
        ui.Click("btnOK");
      });
    }
    dialog->ShowModal();
  }
};

TEST_F(HistoryViewTest, StartsOnTheLatestExportShownAndFocused) {
  OpenDialog(WeeklyHistory(40));
  OpenViewTimes(1, [&](int, TExportHistoryForm& view, TDBGrid& grid) {
    EXPECT_EQ(FocusedName(), "DBGrid1");
    EXPECT_EQ(view.HistoryDataSet(), dialog->cdsExportHistory);
    EXPECT_EQ(grid.RowCount(), 40);
    EXPECT_EQ(grid.Row(), 40);
    EXPECT_LT(grid.VisibleRowCount(), 40);
    EXPECT_GE(grid.Row(), grid.TopRow());
    EXPECT_LT(grid.Row(), grid.TopRow() + grid.VisibleRowCount());
    // Oldest first, whatever order the server sent.
    EXPECT_EQ(grid.CellText(1, 1), "02.01.2023");
    EXPECT_EQ(grid.CellText(40, 0), "09.10.2023 17:30:00");
  });
  EXPECT_EQ(HistoryRequests(), 1);
}

TEST_F(HistoryViewTest, CellsShowDatesTimesAndNulls) {
  const HistoryRow rows[] = {
      {1, Day(2024, 1, 10), Day(2023, 12, 1) + At(8, 5, 9), std::nullopt},
      {2, Day(2024, 2, 10) + At(0, 0, 1), std::nullopt, Day(2024, 2, 9)},
  };
  OpenDialog(HistoryTableWithTimes(rows));
  std::vector<std::string> cells;
  OpenViewTimes(1, [&](int, TExportHistoryForm&, TDBGrid& grid) {
    for (int32_t row = 1; row <= grid.RowCount(); ++row) {
      for (int32_t column = 0; column < grid.ColumnCount(); ++column) {
        cells.push_back(grid.CellText(row, column));
      }
    }
  });
  EXPECT_EQ(cells, (std::vector<std::string>{"10.01.2024", "01.12.2023 8:05:09", "",
                                             "10.02.2024 0:00:01", "", "09.02.2024"}));
}

TEST_F(HistoryViewTest, ReopeningStartsWhereTheOperatorLeftTheRowAndReadsNothingAgain) {
  OpenDialog(WeeklyHistory(5));
  std::vector<int32_t> start_rows;
  OpenViewTimes(3, [&](int i, TExportHistoryForm&, TDBGrid& grid) {
    start_rows.push_back(grid.Row());
    if (i == 0) {
      ui.Press(kVkUp);
      ui.Press(kVkUp);
    } else if (i == 1) {
      grid.MoveToRow(1);
    }
  });
  EXPECT_EQ(start_rows, (std::vector<int32_t>{5, 3, 1}));
  EXPECT_EQ(dialog->cdsExportHistory->RecNo(), 1);
  EXPECT_EQ(HistoryRequests(), 1);
}

// Told when the components it watches are freed.
class TFreeWatch : public TComponent {
 public:
  explicit TFreeWatch(TComponent* owner) : TComponent(owner) {}
  int freed = 0;

 protected:
  ~TFreeWatch() override = default;
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove) ++freed;
  }
};

TEST_F(HistoryViewTest, EveryViewIsFreedOnceTheLoopRunsAndTheRecordSetStays) {
  OpenDialog(WeeklyHistory(3));
  TOwned<TFreeWatch> watch = CreateOwned<TFreeWatch>(nullptr);
  OpenViewTimes(2, [&](int, TExportHistoryForm& view, TDBGrid&) {
    view.FreeNotification(watch.get());
    ui.Press(kVkUp);
  });
  ui.ProcessMessages();
  EXPECT_EQ(watch->freed, 2);
  EXPECT_TRUE(dialog->cdsExportHistory->Active());
  EXPECT_EQ(dialog->cdsExportHistory->RecordCount(), 3);
  EXPECT_EQ(dialog->cdsExportHistory->RecNo(), 1);
}

struct DeleteCase {
  const char* name;
  bool deletes_allowed;
  bool read_only;
  std::vector<TModalResult> answers;  // to the boxes, in order
  std::vector<Box> boxes;
  int32_t rows_on_reopening;
};

const Box kConfirmDelete{TMsgDlgType::mtConfirmation, "Delete record?"};

const DeleteCase kDeleteCases[] = {
    {"Confirmed", true, false, {mrOk}, {kConfirmDelete}, 2},
    {"Cancelled", true, false, {mrCancel}, {kConfirmDelete}, 3},
    {"ForbiddenByTheServersReply",
     false,
     false,
     {mrOk, mrOk},
     {kConfirmDelete, {TMsgDlgType::mtError, "Deletes are not allowed."}},
     3},
    {"ReadOnlyReplyAsksNothing", true, true, {}, {}, 3},
};

class DeleteTest : public HistoryViewTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, CtrlDeleteOnTheLatestRow) {
  const DeleteCase& c = GetParam();
  const std::vector<HistoryRow> rows = WeeklyHistory(3);
  DataPacketWriter table = HistoryTable(rows);
  table.SetDeletesAllowed(c.deletes_allowed).SetReadOnly(c.read_only);
  TExport1CConfigDlg& dlg = OpenDialog(table);
  const std::string summary = dlg.ePreviousExport->Caption();
  const std::string hints = dlg.eExportHints->Caption();
  const TDateTime from = dlg.eExportFrom->Date();
  for (TModalResult answer : c.answers) ui.AnswerBox(answer);

  std::vector<int32_t> row_counts;
  OpenViewTimes(2, [&](int i, TExportHistoryForm&, TDBGrid& grid) {
    row_counts.push_back(grid.RowCount());
    if (i == 0) ui.Press(kVkDelete, kCtrl);
  });

  EXPECT_EQ(Boxes(), c.boxes);
  if (!c.boxes.empty()) {
    EXPECT_EQ(ui.Boxes()[0].title, "Confirm");
    EXPECT_EQ(ui.Boxes()[0].buttons, (TMsgDlgButtons{mbOK, mbCancel}));
  }
  EXPECT_EQ(row_counts, (std::vector<int32_t>{3, c.rows_on_reopening}));
  // The summary and the proposal stay those of the history as it was fetched.
  EXPECT_EQ(dlg.ePreviousExport->Caption(), summary);
  EXPECT_EQ(dlg.eExportHints->Caption(), hints);
  EXPECT_EQ(dlg.eExportFrom->Date(), from);
  EXPECT_EQ(HistoryRequests(), 1);
  EXPECT_TRUE(ExportCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(Grid, DeleteTest, ::testing::ValuesIn(kDeleteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HistoryViewTest, NeitherEnterNorEscapeClosesTheView) {
  OpenDialog(WeeklyHistory(2));
  OpenViewTimes(1, [&](int, TExportHistoryForm& view, TDBGrid&) {
    ui.Press(kVkReturn);
    ui.Press(kVkEscape);
    EXPECT_EQ(view.ModalResult(), mrNone);
    EXPECT_TRUE(view.Showing());
  });
}

TEST_F(HistoryViewTest, ClosingByTheTitleBarEndsTheSameWay) {
  OpenDialog(WeeklyHistory(2));
  ui.WhenModal([&](TCustomForm&) {
    ui.Click("btnShowHistory");
    EXPECT_EQ(ShownForms().size(), 1u);
    ui.Click("btnCancel");
  });
  ui.WhenModal([&](TCustomForm& view) { ui.CloseBox(view); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  ui.ProcessMessages();
  EXPECT_TRUE(ShownForms().empty());
}

}  // namespace
}  // namespace tvx::test
