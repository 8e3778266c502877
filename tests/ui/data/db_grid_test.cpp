// The data grid on a shown form over an export-history record set, driven through the
// headless driver as an operator would use it.
#include "ui/data/db_grid.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "db/data_packet_writer.h"
#include "db/data_source.h"
#include "support/format_settings_and_dates.h"
#include "support/grid_keys.h"
#include "support/history_grid.h"
#include "support/history_record_set.h"
#include "support/history_table.h"
#include "ui/controls/button.h"
#include "ui/core/form.h"
#include "ui/core/initialize_ui.h"
#include "ui/core/input.h"
#include "ui/headless/headless_driver.h"

namespace tvx::test {
namespace {

using headless::HeadlessDriver;
using headless::RecordedBox;

// A form holding the grid (424 x 286, as the history view has it) and a button after it in
// the tab order, over the history's record set.
class DBGridTest : public KeepFormatSettings, public HistoryRecordSet {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SelectFormatSettings("ru-RU"));
    InitializeUi();
    form = Create<TForm>(nullptr, kCreateNew);
    form->SetName("HistoryForm");
    source = Create<TDataSource>(form);
    grid = Create<TDBGrid>(form);
    grid->SetName("DBGrid1");
    grid->SetBounds(0, 0, 424, 286);
    grid->SetParent(form);
    SetUpHistoryColumns(*grid);
    grid->SetDataSource(source);
    button = Create<TButton>(form);
    button->SetName("btnOK");
    button->SetBounds(343, 294, 75, 25);
    button->SetParent(form);
  }

  void TearDown() override {
    Free(form);
    owner.reset();
    KeepFormatSettings::TearDown();
  }

  // Opens the record set on the table, moves to the last row (as the export dialog does) or
  // to `current`, binds it to the grid and shows the form.
  void Show(const DataPacketWriter& table, std::optional<int32_t> current = std::nullopt) {
    OpenOn(table);
    cds->Last();
    if (current) cds->SetRecNo(*current);
    source->SetDataSet(cds);
    form->Show();
  }
  // The same over `days` records, one a day (DailyRecords).
  void Show(int days, PacketPermissions permissions = {},
            std::optional<int32_t> current = std::nullopt) {
    Show(HistoryTableWithTimesOfDay(DailyRecords(days), permissions), current);
  }

  // The texts of a shown row as a peer paints them.
  std::vector<std::string> RowTexts(int32_t rec_no) const {
    std::vector<std::string> texts;
    for (int32_t column = 0; column < grid->ColumnCount(); ++column) {
      texts.push_back(grid->CellText(rec_no, column));
    }
    return texts;
  }

  void ClickCell(int32_t shown_row, int32_t column) {
    const TRect r = grid->CellRect(shown_row, column);
    input::MouseDown(*grid, TMouseButton::mbLeft, kNoShift,
                     TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }

  HeadlessDriver ui;
  TForm* form = nullptr;
  TDataSource* source = nullptr;
  TDBGrid* grid = nullptr;
  TButton* button = nullptr;
};

TEST_F(DBGridTest, CellsShowDatesTimesOfDayAndNullsAsTheFieldsDisplayThem) {
  Show(HistoryTableWithTimesOfDay(
      {{1, At(2012, 12, 31), At(2012, 12, 1, 10, 5, 7), std::nullopt},
       {2, At(2013, 1, 15, 9, 0, 1), std::nullopt, At(2013, 1, 14, 23, 59, 59)}}));
  EXPECT_EQ(grid->TitleText(0), "Дата экспорта");
  EXPECT_EQ(grid->TitleText(1), "Изменения с");
  EXPECT_EQ(grid->TitleText(2), "Изменения по");
  EXPECT_EQ(RowTexts(1), (std::vector<std::string>{"31.12.2012", "01.12.2012 10:05:07", ""}));
  EXPECT_EQ(RowTexts(2),
            (std::vector<std::string>{"15.01.2013 9:00:01", "", "14.01.2013 23:59:59"}));

  SetFormatSettings(Named("en-US"));
  EXPECT_EQ(grid->CellText(1, 1), "12/1/2012 10:05:07 AM");
}

TEST_F(DBGridTest, OpensOnTheCurrentRowScrolledIntoViewWhenTheHistoryIsLongerThanTheGrid) {
  Show(100);
  EXPECT_EQ(ui.Focused(), grid);
  // 282 pixels inside the border: a 17-pixel title, then 17-pixel rows.
  EXPECT_EQ(grid->VisibleRowCount(), 15);
  EXPECT_EQ(grid->Row(), 100);
  EXPECT_EQ(grid->TopRow(), 86);
  EXPECT_EQ(grid->ShownRowCount(), 15);
  EXPECT_EQ(grid->CellText(grid->Row(), 0), "09.04.2012");
  EXPECT_TRUE(grid->ShowsHighlight());
  ui.Focus(*button);
  EXPECT_FALSE(grid->ShowsHighlight()) << "the highlight shows only while the grid has the focus";
}

TEST_F(DBGridTest, ReopeningStartsAtTheRowTheRecordSetIsOn) {
  Show(100, {}, 40);
  EXPECT_EQ(grid->Row(), 40);
  EXPECT_LE(grid->TopRow(), 40);
  EXPECT_GT(grid->TopRow() + grid->VisibleRowCount(), 40);
}

TEST_F(DBGridTest, ShortHistoryStartsAtTheTop) {
  Show(3);
  EXPECT_EQ(grid->TopRow(), 1);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(grid->ShownRowCount(), 3);
}

TEST_F(DBGridTest, KeysMoveTheCurrentCellAndTheRecordSetsCursorWithIt) {
  Show(100);
  const int32_t page = grid->VisibleRowCount();
  ASSERT_EQ(page, 15);
  for (const GridKeyCase& c : GridKeyCases(100, page)) {
    SCOPED_TRACE(c.name);
    cds->SetRecNo(c.row);
    grid->SetSelectedIndex(c.column);
    ui.Press(c.key, c.shift);
    EXPECT_EQ(grid->Row(), c.want_row);
    EXPECT_EQ(cds->RecNo(), c.want_row);
    EXPECT_EQ(grid->SelectedIndex(), c.want_column);
    EXPECT_GE(grid->Row(), grid->TopRow()) << "the current row is shown";
    EXPECT_LT(grid->Row(), grid->TopRow() + grid->ShownRowCount());
    EXPECT_EQ(ui.Focused(), grid);
  }
  EXPECT_EQ(cds->RecordCount(), 100);
}

// The rows shown scroll as little as the current row needs; a page keeps the current row's
// place on the screen.
TEST_F(DBGridTest, KeysScrollTheRowsShownAsLittleAsTheCurrentRowNeeds) {
  Show(100);
  struct Step {
    KeyCode key;
    ShiftState shift;
    int32_t row, top;
  };
  const Step kSteps[] = {
      {kVkUp, kNoShift, 99, 86},    {kVkDown, kNoShift, 100, 86},
      {kVkPrior, kNoShift, 85, 71},  // a page: the row keeps its place on screen
      {kVkNext, kNoShift, 100, 86}, {kVkHome, kCtrl, 1, 1},
      {kVkNext, kNoShift, 16, 16},  {kVkNext, kNoShift, 31, 31},
      {kVkUp, kNoShift, 30, 30},    {kVkEnd, kCtrl, 100, 86},
  };
  for (const Step& s : kSteps) {
    ui.Press(s.key, s.shift);
    EXPECT_EQ(grid->Row(), s.row) << "key " << s.key;
    EXPECT_EQ(grid->TopRow(), s.top) << "key " << s.key;
  }
}

TEST_F(DBGridTest, MovingTheRecordSetsCursorMovesTheGrid) {
  Show(100);
  cds->First();
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(grid->TopRow(), 1);
  cds->SetRecNo(50);
  EXPECT_EQ(grid->TopRow(), 36);
  cds->MoveBy(-20);
  EXPECT_EQ(grid->TopRow(), 30);
}

TEST_F(DBGridTest, TabWrapsThroughTheCellsAndLeavesAtEitherEnd) {
  Show(3, {}, 2);
  const std::vector<std::pair<int32_t, int32_t>> forward = {{2, 1}, {2, 2}, {3, 0}, {3, 1}, {3, 2}};
  for (const auto& [row, column] : forward) {
    ui.Press(kVkTab);
    EXPECT_EQ(grid->Row(), row);
    EXPECT_EQ(cds->RecNo(), row);
    EXPECT_EQ(grid->SelectedIndex(), column);
    EXPECT_EQ(ui.Focused(), grid);
  }
  ui.Press(kVkTab);  // the very last cell: Tab leaves the grid
  EXPECT_EQ(ui.Focused(), button);
  ui.Press(kVkTab, kShift);  // back into the grid, on the same cell
  EXPECT_EQ(ui.Focused(), grid);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(grid->SelectedIndex(), 2);

  const std::vector<std::pair<int32_t, int32_t>> back = {{3, 1}, {3, 0}, {2, 2}, {2, 1},
                                                         {2, 0}, {1, 2}, {1, 1}, {1, 0}};
  for (const auto& [row, column] : back) {
    ui.Press(kVkTab, kShift);
    EXPECT_EQ(grid->Row(), row);
    EXPECT_EQ(grid->SelectedIndex(), column);
  }
  ui.Press(kVkTab, kShift);  // the very first cell: Shift+Tab leaves too
  EXPECT_EQ(ui.Focused(), button);
}

TEST_F(DBGridTest, WithoutTabsOptionTabLeavesAtOnce) {
  grid->SetOptions({dgTitles, dgIndicator});
  Show(3, {}, 1);
  ui.Press(kVkTab);
  EXPECT_EQ(ui.Focused(), button);
  EXPECT_EQ(grid->SelectedIndex(), 0);
}

TEST_F(DBGridTest, CtrlDeleteConfirmedDeletesTheCurrentRow) {
  Show(5, {}, 3);
  ui.AnswerBox(mrOk);
  ui.Press(kVkDelete, kCtrl);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  const RecordedBox& box = ui.Boxes()[0];
  EXPECT_EQ(box.text, "Delete record?");
  EXPECT_EQ(box.title, "Confirm");
  EXPECT_EQ(box.kind, TMsgDlgType::mtConfirmation);
  EXPECT_EQ(box.buttons, (TMsgDlgButtons{mbOK, mbCancel}));
  EXPECT_EQ(cds->RecordCount(), 4);
  EXPECT_EQ(cds->ChangeCount(), 1);
  EXPECT_EQ(Ids(), (std::vector<int32_t>{1, 2, 4, 5}));
  EXPECT_EQ(grid->ShownRowCount(), 4);
}

TEST_F(DBGridTest, CtrlDeleteCancelledDeletesNothing) {
  Show(5);
  ui.AnswerBox(mrCancel);
  ui.Press(kVkDelete, kCtrl);
  EXPECT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(cds->RecordCount(), 5);
  ui.Press(kVkDelete);  // Delete alone is no deletion
  EXPECT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(cds->RecordCount(), 5);
}

TEST_F(DBGridTest, DeletingTheLastRowsScrollsBackAndEmptiesTheGrid) {
  Show(20);
  ui.SetBoxAnswerer([](const RecordedBox&) { return mrOk; });
  for (int remaining = 19; remaining >= 0; --remaining) {
    ui.Press(kVkDelete, kCtrl);
    EXPECT_EQ(grid->RowCount(), remaining);
    EXPECT_EQ(grid->Row(), remaining);
    EXPECT_EQ(grid->TopRow(), remaining > 15 ? remaining - 14 : 1);
  }
  EXPECT_EQ(grid->ShownRowCount(), 0);
  ui.Press(kVkDelete, kCtrl);
  EXPECT_EQ(ui.Boxes().size(), 20u) << "no box on an empty record set";
}

TEST_F(DBGridTest, WithoutConfirmDeleteOptionDeletesAtOnce) {
  grid->SetOptions({dgTitles, dgIndicator});
  Show(2);
  ui.Press(kVkDelete, kCtrl);
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(cds->RecordCount(), 1);
}

TEST_F(DBGridTest, DeletionForbiddenByTheServerReportsTheRecordSetsError) {
  Show(3, {.read_only = false, .deletes_allowed = false});
  ui.AnswerBox(mrOk);  // the confirmation
  ui.AnswerBox(mrOk);  // the error
  ui.Press(kVkDelete, kCtrl);
  ASSERT_EQ(ui.Boxes().size(), 2u);
  EXPECT_EQ(ui.Boxes()[1].text, "Deletes are not allowed.");
  EXPECT_EQ(ui.Boxes()[1].kind, TMsgDlgType::mtError);
  EXPECT_EQ(cds->RecordCount(), 3);
  EXPECT_EQ(ui.Focused(), grid);
}

TEST_F(DBGridTest, ReadOnlyRecordSetAsksNothingAndDeletesNothing) {
  Show(3, {.read_only = true});
  ui.Press(kVkDelete, kCtrl);
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(cds->RecordCount(), 3);
}

TEST_F(DBGridTest, ReadOnlyGridAsksNothingAndDeletesNothing) {
  grid->SetReadOnly(true);
  Show(3);
  ui.Press(kVkDelete, kCtrl);
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(cds->RecordCount(), 3);
}

TEST_F(DBGridTest, EmptyRecordSetShowsTitlesAndNoRows) {
  Show(0);
  EXPECT_EQ(grid->RowCount(), 0);
  EXPECT_EQ(grid->Row(), 0);
  EXPECT_EQ(grid->ShownRowCount(), 0);
  EXPECT_EQ(grid->TitleText(0), "Дата экспорта");
  for (KeyCode key : {kVkUp, kVkDown, kVkPrior, kVkNext, kVkDelete}) {
    ui.Press(key, key == kVkDelete ? kCtrl : kNoShift);
  }
  ui.Press(kVkTab);
  EXPECT_EQ(ui.Focused(), button) << "no cell to move to: Tab leaves";
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(DBGridTest, NoEditorAndNoNewRows) {
  Show(3);
  ui.Type("12");
  ui.Press(kVkF2);
  ui.Press(kVkInsert);
  ui.Press(kVkDown);
  EXPECT_EQ(cds->RecordCount(), 3);
  EXPECT_EQ(cds->ChangeCount(), 0);
  EXPECT_EQ(grid->CellText(3, 0), "03.01.2012");
  EXPECT_EQ(ui.Focused(), grid);
}

TEST_F(DBGridTest, ClickSelectsTheCellUnderTheMouse) {
  Show(100);
  ui.Focus(*button);
  ClickCell(2, 1);
  EXPECT_EQ(ui.Focused(), grid);
  EXPECT_EQ(grid->Row(), 88);
  EXPECT_EQ(cds->RecNo(), 88);
  EXPECT_EQ(grid->SelectedIndex(), 1);
  ClickCell(-1, 2);  // the title row
  EXPECT_EQ(grid->Row(), 88);
  EXPECT_EQ(grid->SelectedIndex(), 1);
  ClickCell(5, -1);  // the indicator: the row only
  EXPECT_EQ(grid->Row(), 91);
  EXPECT_EQ(grid->SelectedIndex(), 1);
}

TEST_F(DBGridTest, LayoutOfTitleIndicatorAndColumns) {
  Show(100);
  EXPECT_EQ(grid->CellRect(-1, -1), (TRect{0, 0, 11, 16}));
  EXPECT_EQ(grid->CellRect(-1, 0), (TRect{12, 0, 141, 16}));
  EXPECT_EQ(grid->CellRect(0, 1), (TRect{142, 17, 282, 33}));
  EXPECT_EQ(grid->CellRect(14, 2), (TRect{283, 255, 404, 271}));
  struct Probe {
    TPoint point;
    TGridCell cell;
  };
  const Probe kProbes[] = {
      {{5, 5}, {0, -1}},      {{12, 0}, {0, 0}},     {{141, 20}, {86, 0}},  {{142, 20}, {86, 1}},
      {{300, 270}, {100, 2}}, {{410, 20}, {-1, -2}}, {{300, 275}, {-1, 2}}, {{-1, 20}, {-1, -2}},
  };
  for (const Probe& p : kProbes) {
    EXPECT_EQ(grid->CellAt(p.point), p.cell) << p.point.x << "," << p.point.y;
  }
}

TEST_F(DBGridTest, WheelMovesTheCurrentRow) {
  Show(100);
  grid->MouseWheel(3);
  EXPECT_EQ(grid->Row(), 97);
  grid->MouseWheel(-1);
  EXPECT_EQ(grid->Row(), 98);
  EXPECT_EQ(grid->TopRow(), 86);
}

TEST_F(DBGridTest, ResizingKeepsTheCurrentRowVisible) {
  Show(100, {}, 90);
  grid->SetHeight(4 + 17 + 4 * 17);
  EXPECT_EQ(grid->VisibleRowCount(), 4);
  EXPECT_EQ(grid->Row(), 90);
  EXPECT_LE(grid->TopRow(), 90);
  EXPECT_GE(grid->TopRow(), 87);
  grid->SetHeight(286);
  EXPECT_EQ(grid->VisibleRowCount(), 15);
  EXPECT_LE(grid->TopRow(), 90);
  EXPECT_GE(grid->TopRow(), 76);
}

TEST_F(DBGridTest, WithoutColumnsEveryFieldIsAColumn) {
  grid->Columns()->Clear();
  Show(2);
  ASSERT_EQ(grid->ColumnCount(), 4);
  EXPECT_EQ(grid->TitleText(0), "ID");
  EXPECT_EQ(grid->TitleText(3), "EXPORT_TO");
  EXPECT_EQ(RowTexts(2), (std::vector<std::string>{"2", "02.01.2012", "26.12.2011", "01.01.2012"}));
}

TEST_F(DBGridTest, ClosingOrUnbindingTheRecordSetEmptiesTheGrid) {
  Show(30);
  source->SetDataSet(nullptr);
  EXPECT_EQ(grid->RowCount(), 0);
  EXPECT_EQ(grid->ShownRowCount(), 0);
  EXPECT_EQ(grid->TopRow(), 1);
  source->SetDataSet(cds);
  EXPECT_EQ(grid->Row(), 30);
  EXPECT_EQ(grid->TopRow(), 16);
  cds->Close();
  EXPECT_EQ(grid->RowCount(), 0);
  ui.Press(kVkDown);
  ui.Press(kVkDelete, kCtrl);
  EXPECT_TRUE(ui.Boxes().empty());
}

}  // namespace
}  // namespace tvx::test
