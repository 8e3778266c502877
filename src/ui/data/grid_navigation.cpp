#include "ui/data/grid_navigation.h"

#include <algorithm>

namespace tvx {

int32_t RowsThatFit(int32_t height, int32_t row_pitch) {
  if (row_pitch <= 0) return 1;
  return std::max(1, height / row_pitch);
}

int32_t TopRowFor(int32_t top, int32_t current, int32_t row_count, int32_t visible) {
  if (row_count <= 0) return 1;
  visible = std::max(1, visible);
  current = std::clamp(current, 1, row_count);
  if (current < top) top = current;
  if (current >= top + visible) top = current - visible + 1;
  int32_t last_top = std::max(1, row_count - visible + 1);
  return std::clamp(top, 1, last_top);
}

int32_t LeftColumnFor(int32_t left, int32_t current, std::span<const int32_t> widths,
                      int32_t available) {
  const auto count = static_cast<int32_t>(widths.size());
  if (count == 0) return 0;
  current = std::clamp(current, 0, count - 1);
  left = std::clamp(left, 0, count - 1);
  if (current < left) return current;
  // Move the left edge right until the current column ends within the available width.
  int32_t used = 0;
  for (int32_t i = left; i <= current; ++i) used += widths[static_cast<std::size_t>(i)];
  while (left < current && used > available) {
    used -= widths[static_cast<std::size_t>(left)];
    ++left;
  }
  return left;
}

bool TabStep(TGridCell& cell, int32_t row_count, int32_t column_count, bool forward) {
  if (row_count <= 0 || column_count <= 0) return false;
  if (forward) {
    if (cell.column + 1 < column_count) {
      ++cell.column;
    } else if (cell.row < row_count) {
      ++cell.row;
      cell.column = 0;
    } else {
      return false;
    }
  } else {
    if (cell.column > 0) {
      --cell.column;
    } else if (cell.row > 1) {
      --cell.row;
      cell.column = column_count - 1;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace tvx
