// The arithmetic of a data grid's viewport, apart from any control: which rows fit, which row
// is at the top so that the current row stays visible, which column is at the left so that
// the current column stays visible, and where Tab and Shift+Tab lead. Each answer costs time
// in proportion to the rows shown or the columns, never to the rows of the data set.
#pragma once

#include <cstdint>
#include <span>

namespace tvx {

// The number of whole rows of `row_pitch` pixels that fit in `height` pixels, at least 1.
int32_t RowsThatFit(int32_t height, int32_t row_pitch);

// The record number (1-based) of the first row shown, moved as little as possible from `top`
// so that `current` lies among the `visible` rows shown and, when there are more rows than
// fit, no empty space is left below the last one. 1 for an empty data set.
int32_t TopRowFor(int32_t top, int32_t current, int32_t row_count, int32_t visible);

// The index of the first column shown, moved as little as possible from `left` so that the
// column `current` is whole within `available` pixels (or starts at the left edge when it
// is wider than that). `widths` are the columns' widths including any line after each.
int32_t LeftColumnFor(int32_t left, int32_t current, std::span<const int32_t> widths,
                      int32_t available);

// A cell of the grid: a record number (1-based) and a column index.
struct TGridCell {
  int32_t row = 0;
  int32_t column = 0;
  friend bool operator==(const TGridCell&, const TGridCell&) = default;
};

// The cell that Tab (forward) or Shift+Tab reaches: the next or previous column, wrapping to
// the first column of the next row or the last column of the previous one. False at the very
// last cell going forward and at the very first going back, where Tab leaves the grid.
bool TabStep(TGridCell& cell, int32_t row_count, int32_t column_count, bool forward);

}  // namespace tvx
