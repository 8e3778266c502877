// What each navigation key does to the current cell of the history grid (three columns), from
// a given cell, for a record set of `rows` rows in a grid that shows `page` whole rows. The
// grid's model tests and the tests of its window run the same table (header only: the support
// library stays below the control layer).
#pragma once

#include <cstdint>
#include <vector>

#include "ui/core/keys.h"

namespace tvx::test {

struct GridKeyCase {
  const char* name;
  int32_t row, column;  // where the current cell is (rows from 1)
  KeyCode key;
  ShiftState shift;
  int32_t want_row, want_column;
};

inline std::vector<GridKeyCase> GridKeyCases(int32_t rows, int32_t page) {
  return {
      {"Up", 30, 1, kVkUp, kNoShift, 29, 1},
      {"Up stops at the first row", 1, 1, kVkUp, kNoShift, 1, 1},
      {"Down", 30, 1, kVkDown, kNoShift, 31, 1},
      {"Down stops at the last row: no row is appended", rows, 0, kVkDown, kNoShift, rows, 0},
      {"Right", 30, 0, kVkRight, kNoShift, 30, 1},
      {"Right stops at the last column", 30, 2, kVkRight, kNoShift, 30, 2},
      {"Left", 30, 2, kVkLeft, kNoShift, 30, 1},
      {"Left stops at the first column", 30, 0, kVkLeft, kNoShift, 30, 0},
      {"Page Down", 1, 0, kVkNext, kNoShift, 1 + page, 0},
      {"Page Down stops at the last row", rows - 1, 1, kVkNext, kNoShift, rows, 1},
      {"Page Up", rows, 2, kVkPrior, kNoShift, rows - page, 2},
      {"Page Up stops at the first row", 1, 0, kVkPrior, kNoShift, 1, 0},
      {"Home: first column", 30, 2, kVkHome, kNoShift, 30, 0},
      {"End: last column", 30, 0, kVkEnd, kNoShift, 30, 2},
      {"Ctrl+Home: first row", 30, 1, kVkHome, kCtrl, 1, 1},
      {"Ctrl+End: last row", 3, 1, kVkEnd, kCtrl, rows, 1},
      {"Tab: next column", 30, 0, kVkTab, kNoShift, 30, 1},
      {"Tab wraps to the next row", 30, 2, kVkTab, kNoShift, 31, 0},
      {"Shift+Tab wraps to the previous row", 30, 0, kVkTab, kShift, 29, 2},
  };
}

}  // namespace tvx::test
