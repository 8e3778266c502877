#include "ui/win32/data/grid_painter.h"

#include <algorithm>
#include <string>
#include <vector>

#include <vssym32.h>

namespace tvx::win32 {

namespace {

// Space between a cell's left and top edges and its text.
constexpr int kTextIndent = 2;

RECT ToRect(const TRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Fills a rectangle with a colour (an opaque text output without text: no brush needed).
void Fill(HDC dc, const RECT& rect, COLORREF color) {
  SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void Text(HDC dc, const RECT& cell, const std::string& text, COLORREF color) {
  if (text.empty()) return;
  const std::wstring wide = Wide(text);
  SetTextColor(dc, color);
  ExtTextOutW(dc, cell.left + kTextIndent, cell.top + kTextIndent, ETO_CLIPPED, &cell, wide.c_str(),
              static_cast<UINT>(wide.size()), nullptr);
}

// What the painter needs of the grid, gathered once per picture.
struct Look {
  bool col_lines = false;
  bool row_lines = false;
  COLORREF window = 0;
  COLORREF text = 0;
  COLORREF title_text = 0;
  COLORREF face = 0;
  COLORREF fixed_line = 0;
  COLORREF data_line = 0;
  COLORREF highlight = 0;
  COLORREF highlight_text = 0;
};

// The lines to the right of and below a cell, where the options ask for them; they meet at
// the corner so that crossings are closed.
void Lines(HDC dc, const RECT& cell, const Look& look, COLORREF color) {
  const int col_line = look.col_lines ? 1 : 0;
  const int row_line = look.row_lines ? 1 : 0;
  if (col_line != 0)
    Fill(dc, RECT{cell.right, cell.top, cell.right + 1, cell.bottom + row_line}, color);
  if (row_line != 0)
    Fill(dc, RECT{cell.left, cell.bottom, cell.right + col_line, cell.bottom + 1}, color);
}

// A cell of the title row or the indicator column: button face with a raised edge.
void FixedCell(HDC dc, const RECT& cell, const Look& look) {
  Fill(dc, cell, look.face);
  RECT edge = cell;
  DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
  Lines(dc, cell, look, look.fixed_line);
}

// A cell of the title row: a header item of the visual style, where one is active, else a
// fixed cell.
void TitleCell(HDC dc, const RECT& cell, const Look& look, GridTheme theme) {
  if (theme.header != nullptr &&
      theme.header->DrawBackground(theme.window, dc, HP_HEADERITEM, HIS_NORMAL, cell)) {
    Lines(dc, cell, look, look.fixed_line);
    return;
  }
  FixedCell(dc, cell, look);
}

}  // namespace

void PaintRowMark(HDC dc, const RECT& cell, COLORREF color) {
  const int width = cell.right - cell.left;
  const int height = cell.bottom - cell.top;
  // Half the triangle's height; it is reach + 1 pixels wide and 2 * reach + 1 high.
  const int reach = std::min((width - 3) / 2, (height - 5) / 2);
  if (reach < 1) return;
  const int left = cell.left + (width - (reach + 1)) / 2;
  const int middle = cell.top + height / 2;
  for (int i = 0; i <= reach; ++i) {
    Fill(dc, RECT{left + i, middle - (reach - i), left + i + 1, middle + (reach - i) + 1}, color);
  }
}

void PaintGrid(const TDBGrid& grid, HDC dc, SIZE client, GdiCache& gdi, bool focus_cues,
               GridTheme theme) {
  const TDBGridOptions options = grid.Options();
  Look look;
  look.col_lines = options.Contains(dgColLines);
  look.row_lines = options.Contains(dgRowLines);
  look.window = ColorRef(grid.Color());
  look.text = ColorRef(grid.Font()->Color());
  look.title_text = ColorRef(grid.TitleFont()->Color());
  look.face = GetSysColor(COLOR_BTNFACE);
  look.fixed_line = GetSysColor(COLOR_3DDKSHADOW);
  look.data_line = GetSysColor(COLOR_BTNFACE);
  look.highlight = GetSysColor(COLOR_HIGHLIGHT);
  look.highlight_text = GetSysColor(COLOR_HIGHLIGHTTEXT);

  Fill(dc, RECT{0, 0, client.cx, client.cy}, look.window);
  SetBkMode(dc, TRANSPARENT);
  const HGDIOBJ previous_font = SelectObject(dc, gdi.Font(*grid.TitleFont()));

  // The model's geometry, read once a picture: the columns' edges from the title row's
  // cells (those that start inside the client area), and the rows' pitch. Shown row i lies
  // at TitlePitch() + i * RowPitch(), RowHeight() high, as CellRect has it.
  struct Column {
    int index;
    RECT title;
  };
  std::vector<Column> columns;
  for (int c = grid.LeftCol(); c < grid.ColumnCount(); ++c) {
    const RECT title = ToRect(grid.CellRect(-1, c));
    if (title.left >= client.cx) break;
    columns.push_back(Column{c, title});
  }
  const bool indicator = options.Contains(dgIndicator);
  const RECT indicator_title = ToRect(grid.CellRect(-1, -1));
  const int rows_top = grid.TitlePitch();
  const int row_pitch = grid.RowPitch();
  const int row_height = grid.RowHeight();

  if (options.Contains(dgTitles)) {
    if (indicator) TitleCell(dc, indicator_title, look, theme);
    for (const Column& column : columns) {
      TitleCell(dc, column.title, look, theme);
      const RECT inner{column.title.left, column.title.top, column.title.right - 1,
                       column.title.bottom - 1};
      Text(dc, inner, grid.TitleText(column.index), look.title_text);
    }
  }

  SelectObject(dc, gdi.Font(*grid.Font()));
  const int shown = grid.ShownRowCount();
  const int current = grid.Row();
  const bool highlight = grid.ShowsHighlight();
  const bool focused = grid.Focused();
  for (int i = 0; i < shown; ++i) {
    const int rec_no = grid.TopRow() + i;
    const int top = rows_top + i * row_pitch;
    if (top >= client.cy) break;
    if (indicator) {
      const RECT cell{indicator_title.left, top, indicator_title.right, top + row_height};
      FixedCell(dc, cell, look);
      if (rec_no == current) PaintRowMark(dc, cell, look.text);
    }
    for (const Column& column : columns) {
      const RECT cell{column.title.left, top, column.title.right, top + row_height};
      const bool selected = highlight && rec_no == current && column.index == grid.SelectedIndex();
      if (selected) Fill(dc, cell, look.highlight);
      Text(dc, cell, grid.CellText(rec_no, column.index),
           selected ? look.highlight_text : look.text);
      if (selected && focused && focus_cues) DrawFocusRect(dc, &cell);
      Lines(dc, cell, look, look.data_line);
    }
  }
  SelectObject(dc, previous_font);
}

}  // namespace tvx::win32
