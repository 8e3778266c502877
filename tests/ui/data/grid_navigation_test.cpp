#include "ui/data/grid_navigation.h"

#include <gtest/gtest.h>

#include <vector>

namespace tvx::test {
namespace {

TEST(GridNavigation, RowsThatFitAreWholeRowsAndAtLeastOne) {
  EXPECT_EQ(RowsThatFit(170, 17), 10);
  EXPECT_EQ(RowsThatFit(186, 17), 10);
  EXPECT_EQ(RowsThatFit(187, 17), 11);
  EXPECT_EQ(RowsThatFit(5, 17), 1);
  EXPECT_EQ(RowsThatFit(-40, 17), 1);
  EXPECT_EQ(RowsThatFit(100, 0), 1);
}

TEST(GridNavigation, TopRowMovesAsLittleAsNeededToShowTheCurrentRow) {
  struct Case {
    int32_t top, current, count, visible, expected;
  };
  const Case kCases[] = {
      {1, 1, 0, 10, 1},       // empty
      {1, 5, 30, 10, 1},      // already shown
      {1, 100, 100, 10, 91},  // opened on the last row: it is the bottom one
      {1, 1000000, 1000000, 15, 999986},
      {91, 90, 100, 10, 90},  // one above: scrolls by one
      {80, 90, 100, 10, 81},  // one below: scrolls by one
      {50, 3, 100, 10, 3},
      {95, 99, 100, 10, 91},  // never empty space below the last row
      {7, 3, 5, 10, 1},       // fewer rows than fit
      {1, 7, 20, 0, 7},       // no room: the current row alone
      {1, 40, 20, 10, 11},    // a current row out of range counts as the last
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(TopRowFor(c.top, c.current, c.count, c.visible), c.expected)
        << c.top << " " << c.current << " " << c.count << " " << c.visible;
  }
}

TEST(GridNavigation, LeftColumnKeepsTheCurrentColumnWhole) {
  const std::vector<int32_t> widths = {130, 141, 122};
  struct Case {
    int32_t left, current, available, expected;
  };
  const Case kCases[] = {
      {0, 2, 500, 0},                 // all fit
      {0, 2, 300, 1},                 // 141 + 122 fit
      {0, 2, 200, 2}, {0, 2, 50, 2},  // wider than the room: starts at the left edge
      {2, 0, 500, 0},                 // left of the window
      {1, 1, 100, 1},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(LeftColumnFor(c.left, c.current, widths, c.available), c.expected)
        << c.left << " " << c.current << " " << c.available;
  }
  EXPECT_EQ(LeftColumnFor(3, 5, {}, 100), 0);
}

TEST(GridNavigation, TabWrapsToTheNextOrPreviousRowAndStopsAtTheEnds) {
  struct Case {
    TGridCell from;
    bool forward;
    bool moved;
    TGridCell to;
  };
  const Case kCases[] = {
      {{1, 0}, true, true, {1, 1}},  {{1, 2}, true, true, {2, 0}},  {{3, 2}, true, false, {3, 2}},
      {{2, 1}, false, true, {2, 0}}, {{2, 0}, false, true, {1, 2}}, {{1, 0}, false, false, {1, 0}},
  };
  for (const Case& c : kCases) {
    TGridCell cell = c.from;
    EXPECT_EQ(TabStep(cell, 3, 3, c.forward), c.moved) << c.from.row << "," << c.from.column;
    EXPECT_EQ(cell, c.to) << c.from.row << "," << c.from.column;
  }
  TGridCell cell{0, 0};
  EXPECT_FALSE(TabStep(cell, 0, 3, true));
  EXPECT_FALSE(TabStep(cell, 3, 0, false));
}

}  // namespace
}  // namespace tvx::test
