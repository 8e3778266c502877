// Draws a data grid as its control-layer model lays it out: the title row, the indicator
// column with the mark of the current row, the cells of the rows shown, the lines between
// columns and rows, and the highlighted cell. Only the rows that the grid shows are read, so
// the cost of a picture does not depend on the number of rows in the data set.
#pragma once

#include "ui/data/db_grid.h"
#include "ui/win32/backend/gdi_cache.h"
#include "ui/win32/backend/win32_api.h"
#include "ui/win32/theme/window_theme.h"

namespace tvx::win32 {

// The visual style that draws the title row's cells as header items, where one is active for
// the grid's window.
struct GridTheme {
  WindowTheme* header = nullptr;
  HWND window = nullptr;
};

// Paints the grid's client area (0, 0, width, height) into `dc`; every pixel of it is set. The
// focused cell has a focus rectangle unless the window's keyboard cues hide it.
void PaintGrid(const TDBGrid& grid, HDC dc, SIZE client, GdiCache& gdi, bool focus_cues = true,
               GridTheme theme = {});

// The mark of the current row: a small triangle pointing right, centred in `cell`.
void PaintRowMark(HDC dc, const RECT& cell, COLORREF color);

}  // namespace tvx::win32
