// The data grid's window under Windows, driven through its window handle with the messages an
// operator's keys, clicks and wheel produce: the current cell moves as the grid's model
// decides, the scroll bar follows, the picture marks the current row and highlights the current
// cell only while the grid has the focus, and Ctrl+Delete asks before it deletes.
#include "ui/win32/data/grid_peer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "grid_peer_fixture.h"
#include "native_input.h"
#include "support/grid_keys.h"
#include "ui/win32/backend/gdi_cache.h"

namespace tvx::test {
namespace {

TEST_F(GridWindowTest, KeysMoveTheCurrentCellAndTheScrollBarFollows) {
  Show(60);
  const int page = grid->VisibleRowCount();
  ASSERT_GT(page, 5);
  for (const GridKeyCase& c : GridKeyCases(60, page)) {
    SCOPED_TRACE(c.name);
    cds->SetRecNo(c.row);
    grid->SetSelectedIndex(c.column);
    FocusGrid();
    PressKey(GetFocus(), c.key, c.shift);
    EXPECT_EQ(grid->Row(), c.want_row);
    EXPECT_EQ(grid->SelectedIndex(), c.want_column);
    EXPECT_EQ(GetFocus(), grid_window);
    const SCROLLINFO bar = ScrollBar();
    EXPECT_EQ(bar.nPos, c.want_row);
    EXPECT_EQ(static_cast<int>(bar.nPage), page);
    // The current row is among the rows shown.
    EXPECT_GE(grid->Row(), grid->TopRow());
    EXPECT_LT(grid->Row(), grid->TopRow() + grid->ShownRowCount());
  }
}

TEST_F(GridWindowTest, TabAtTheLastCellAndShiftTabAtTheFirstLeaveTheGrid) {
  Show(5);
  cds->Last();
  grid->SetSelectedIndex(2);
  FocusGrid();
  PressKey(GetFocus(), kVkTab);
  EXPECT_EQ(GetFocus(), HandleOf(button));
  EXPECT_EQ(form->ActiveControl(), button);

  cds->First();
  grid->SetSelectedIndex(0);
  FocusGrid();
  PressKey(GetFocus(), kVkTab, kShift);
  EXPECT_EQ(GetFocus(), HandleOf(button));
}

TEST_F(GridWindowTest, ADialogManagerLeavesTabAndTheArrowsToTheGrid) {
  // A host whose loop runs IsDialogMessage asks the grid what it wants (WM_GETDLGCODE).
  Show(20);
  cds->SetRecNo(10);
  grid->SetSelectedIndex(0);
  FocusGrid();
  const auto send = [&](WPARAM key) {
    MSG msg{grid_window, WM_KEYDOWN, key, 1, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(HandleOf(form), &msg));
    Pump();
  };
  send(VK_TAB);
  EXPECT_EQ(grid->SelectedIndex(), 1);
  send(VK_DOWN);
  EXPECT_EQ(grid->Row(), 11);
  send(VK_LEFT);
  EXPECT_EQ(grid->SelectedIndex(), 0);
  EXPECT_EQ(GetFocus(), grid_window);
}

TEST_F(GridWindowTest, AClickSelectsTheCellUnderThePointerAndTakesTheFocus) {
  Show(60);
  SetFocus(HandleOf(button));
  Pump();
  ASSERT_EQ(form->ActiveControl(), button);
  const TRect cell = grid->CellRect(2, 1);
  ClickAt(grid_window, POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
  EXPECT_EQ(grid->Row(), grid->TopRow() + 2);
  EXPECT_EQ(grid->SelectedIndex(), 1);
  EXPECT_EQ(GetFocus(), grid_window);
  EXPECT_EQ(form->ActiveControl(), grid);

  // A click on the title row moves nothing.
  const int row = grid->Row();
  const TRect title = grid->CellRect(-1, 2);
  ClickAt(grid_window, POINT{(title.left + title.right) / 2, (title.top + title.bottom) / 2});
  EXPECT_EQ(grid->Row(), row);
  EXPECT_EQ(grid->SelectedIndex(), 1);
}

// The system's wheel setting for the length of a test (this process only).
class WheelLines {
 public:
  explicit WheelLines(UINT lines) {
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &saved_, 0);
    Set(lines);
  }
  ~WheelLines() { Set(saved_); }
  WheelLines(const WheelLines&) = delete;
  WheelLines& operator=(const WheelLines&) = delete;
  static void Set(UINT lines) { SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0); }

 private:
  UINT saved_ = 3;
};

TEST_F(GridWindowTest, TheWheelMovesAsManyRowsANotchAsTheSystemSays) {
  Show(200);
  cds->SetRecNo(100);
  FocusGrid();
  WheelLines lines(3);
  TurnWheel(grid_window, -2 * WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), 106);
  TurnWheel(grid_window, WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), 103);
  // A third of a notch is a row of three; smaller steps add up.
  TurnWheel(grid_window, -WHEEL_DELTA / 3);
  EXPECT_EQ(grid->Row(), 104);
  TurnWheel(grid_window, -WHEEL_DELTA / 6);
  EXPECT_EQ(grid->Row(), 104);
  TurnWheel(grid_window, -WHEEL_DELTA / 6);
  EXPECT_EQ(grid->Row(), 105);

  WheelLines::Set(1);
  TurnWheel(grid_window, WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), 104);
  // A page a notch.
  WheelLines::Set(WHEEL_PAGESCROLL);
  TurnWheel(grid_window, -WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), 104 + grid->VisibleRowCount());
  // Nothing at all.
  WheelLines::Set(0);
  const int row = grid->Row();
  TurnWheel(grid_window, -3 * WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), row);
}

TEST_F(GridWindowTest, TheScrollBarMovesTheCurrentRow) {
  Show(60);
  const int page = grid->VisibleRowCount();
  cds->SetRecNo(30);
  const SCROLLINFO bar = ScrollBar();
  EXPECT_EQ(bar.nMin, 1);
  EXPECT_EQ(bar.nMax, 60 + page - 1);
  EXPECT_EQ(bar.nPos, 30);
  struct Case {
    int request;
    int want;
  };
  const Case cases[] = {{SB_LINEUP, 29},         {SB_LINEDOWN, 30}, {SB_TOP, 1},
                        {SB_PAGEDOWN, 1 + page}, {SB_BOTTOM, 60},   {SB_PAGEUP, 60 - page}};
  for (const Case& c : cases) {
    SendMessageW(grid_window, WM_VSCROLL, MAKEWPARAM(c.request, 0), 0);
    Pump();
    EXPECT_EQ(grid->Row(), c.want) << c.request;
    EXPECT_EQ(ScrollBar().nPos, c.want) << c.request;
  }
}

TEST_F(GridWindowTest, TheScrollBarIsHiddenWhileEveryRowFits) {
  Show(3);
  EXPECT_EQ(GetWindowLongW(grid_window, GWL_STYLE) & WS_VSCROLL, 0);
}

TEST(GridScrollInfoTest, RangesReachTheLastRowAndNeverOverflow) {
  struct Case {
    int rows, visible, current;
    int want_max, want_pos;
  };
  const Case cases[] = {
      {0, 15, 0, 15, 1},                                      // empty: one page, no bar
      {15, 15, 15, 15, 1},                                    // everything fits
      {60, 15, 60, 74, 60},                                   // thumb at the last row
      {60, 15, 0, 74, 1},                                     // position clamped into the range
      {1000000, 15, 1000000, 1000014, 1000000},               // a million rows
      {INT_MAX - 3, 15, INT_MAX - 3, INT_MAX, INT_MAX - 14},  // the range is clamped
  };
  for (const Case& c : cases) {
    const SCROLLINFO info = win32::GridScrollInfo(c.rows, c.visible, c.current);
    EXPECT_EQ(info.nMin, 1) << c.rows;
    EXPECT_EQ(info.nMax, c.want_max) << c.rows;
    EXPECT_EQ(info.nPos, c.want_pos) << c.rows;
    EXPECT_EQ(static_cast<int>(info.nPage), c.visible) << c.rows;
  }
}

TEST_F(GridWindowTest, AMillionRowsScrollEndToEnd) {
  Show(1000000);
  const int page = grid->VisibleRowCount();
  FocusGrid();
  PressKey(grid_window, kVkHome, kCtrl);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(grid->TopRow(), 1);
  PressKey(grid_window, kVkEnd, kCtrl);
  EXPECT_EQ(grid->Row(), 1000000);
  EXPECT_EQ(grid->TopRow(), 1000000 - page + 1);
  const SCROLLINFO bar = ScrollBar();
  EXPECT_EQ(bar.nMax, 1000000 + page - 1);
  EXPECT_EQ(bar.nPos, 1000000);
  // The last row is painted with its text and its mark.
  const Picture picture(grid_window);
  const RECT mark = Native(grid->CellRect(page - 1, -1));
  EXPECT_TRUE(picture.Contains(mark, win32::ColorRef(grid->Font()->Color())));
  EXPECT_EQ(id->AsInteger(), 1000000);
}

TEST_F(GridWindowTest, TheCurrentCellIsHighlightedOnlyWhileTheGridHasTheFocus) {
  Show(20);
  cds->SetRecNo(20);
  grid->SetSelectedIndex(1);
  FocusGrid();
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const int shown_current = grid->Row() - grid->TopRow();
  const RECT current_cell = Native(grid->CellRect(shown_current, 1));
  const RECT other_cell = Native(grid->CellRect(shown_current, 0));
  const RECT current_mark = Native(grid->CellRect(shown_current, -1));
  const RECT other_mark = Native(grid->CellRect(0, -1));
  const COLORREF mark = win32::ColorRef(grid->Font()->Color());
  {
    const Picture focused(grid_window);
    EXPECT_TRUE(focused.Contains(current_cell, highlight));
    EXPECT_FALSE(focused.Contains(other_cell, highlight));
    EXPECT_TRUE(focused.Contains(current_mark, mark));
    EXPECT_FALSE(focused.Contains(other_mark, mark));
  }
  SetFocus(HandleOf(button));
  Pump();
  {
    const Picture unfocused(grid_window);
    EXPECT_FALSE(unfocused.Contains(RECT{0, 0, unfocused.Width(), unfocused.Height()}, highlight));
    EXPECT_TRUE(unfocused.Contains(current_mark, mark));
  }
  FocusGrid();
  EXPECT_TRUE(Picture(grid_window).Contains(current_cell, highlight));
}

TEST_F(GridWindowTest, CtrlDeleteDeletesTheCurrentRowOnlyWhenConfirmed) {
  struct Case {
    const char* name;
    int answer;
    int want_rows;
  };
  const Case cases[] = {{"OK", IDOK, 4}, {"Cancel", IDCANCEL, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Show(5);
    cds->SetRecNo(3);
    FocusGrid();
    ASSERT_TRUE(FocusSettlesOn(grid_window));
    BoxAnswerer answerer(L"Confirm", c.answer);
    PressKey(GetFocus(), kVkDelete, kCtrl);
    const auto& boxes = answerer.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Delete record?");
    EXPECT_EQ(boxes[0].buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(cds->RecordCount(), c.want_rows);
    // The grid keeps the focus. Which native window holds it once the box has gone is up to
    // the X server under Wine without a window manager (now and then nothing), so the check
    // is the control layer's focus, which decides where keys go.
    EXPECT_TRUE(grid->Focused());
    form->Hide();
    Pump();
  }
}

TEST_F(GridWindowTest, DeleteWithoutCtrlAsksNothing) {
  Show(5);
  FocusGrid();
  BoxAnswerer answerer(L"Confirm", IDOK);
  PressKey(GetFocus(), kVkDelete);
  EXPECT_TRUE(answerer.Stop().empty());
  EXPECT_EQ(cds->RecordCount(), 5);
}

}  // namespace
}  // namespace tvx::test
