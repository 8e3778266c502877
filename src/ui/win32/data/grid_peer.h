// Data grids: a window of our own class inside a sunken border, with a vertical scroll bar,
// that draws the grid's model (see grid_painter.h) through an off-screen bitmap, so a new
// picture replaces the old one at once without flicker.
//
// Keys and mouse buttons reach the grid through the shared handling of every peer (the grid
// wants Tab and the arrows: WM_GETDLGCODE). The peer adds the mouse wheel (as many rows a notch
// as the system's SPI_GETWHEELSCROLLLINES says, a page a notch when it says pages) and the
// scroll bar:
// the bar's thumb stands for the current row (1..RowCount, one page per visible rows, so the
// last row is reachable), and moving it moves the data set's cursor as the model's
// MoveToRow does; the arrows of the bar move one row, the bar's page areas one page.
//
// A screen reader knows the grid as a table (named by the label before it, else by its form's
// caption) whose children are the rows shown: the title row, whose cells are the column
// headers, then the data rows, whose cells are named by their column's title and hold the
// cell's text. The current cell is the selected one, and the focused one while the grid has
// the focus; readers hear of it whenever it moves. They hear too when the rows shown are others
// (a reload, a scroll, a new order, a taller grid: EVENT_OBJECT_REORDER on the table, after which
// a reader reads the rows again), and when the same rows show other texts (a value change for
// each such cell, a name change for its row when it is the row's first cell, which names the
// row, and a name change for a column header whose title changed).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/data/db_grid.h"
#include "ui/win32/accessibility/accessible.h"
#include "ui/win32/peers/painted_peer.h"
#include "ui/win32/theme/window_theme.h"

namespace tvx::win32 {

// What the vertical scroll bar shows for a grid: nMin, nMax, nPage and nPos of a SCROLLINFO.
// The range is clamped so that it never overflows, whatever the row count.
SCROLLINFO GridScrollInfo(int row_count, int visible_rows, int current_row);

class GridPeer : public PaintedPeer, private AccessibleSource {
 public:
  GridPeer(Win32Backend& backend, TDBGrid& grid);
  ~GridPeer() override;
  void Changed(ControlChange change) override;

 protected:
  WindowKind Kind() const override;
  void Created() override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  // Draws the grid into the off-screen picture and copies it to dc.
  void Paint(HDC dc) override;
  void ThemeChanged() override { header_theme_.Forget(); }
  const AccessibleSource* Accessibility() const override { return this; }

 private:
  AccessibleItem Describe(const AccessiblePath& path) const override;
  long ChildCount(const AccessiblePath& path) const override;
  AccessiblePath FocusedItem() const override;
  std::optional<AccessiblePath> SelectedItem() const override;
  // 1 with a title row, else 0.
  long TitleRows() const;
  // The element of the current cell, if it is shown.
  std::optional<AccessiblePath> CurrentCell() const;
  // Tells screen readers where the current cell went (when it moved, or always).
  void AnnounceCurrentCell(bool always);
  // What the table's children show: the first data row shown and the texts of every shown
  // row's cells, in the order of the children (the title row first).
  struct ShownRows {
    int top_row = 0;
    std::vector<std::vector<std::string>> texts;
    friend bool operator==(const ShownRows&, const ShownRows&) = default;
  };
  ShownRows ReadShownRows() const;
  std::optional<ShownRows> TryReadShownRows() const;
  // Tells screen readers what changed among the rows shown since they last heard.
  void AnnounceShownRows();
  TDBGrid& Grid() const { return static_cast<TDBGrid&>(Control()); }
  void UpdateScrollBar();
  void ScrollRequest(int request);
  void Wheel(int delta);

  // The off-screen picture, kept while the window keeps its size.
  HDC buffer_dc_ = nullptr;
  HBITMAP buffer_ = nullptr;
  HGDIOBJ buffer_previous_ = nullptr;
  SIZE buffer_size_{0, 0};
  // Wheel movement short of a whole row (in WHEEL_DELTA units of a row), kept for the next
  // message.
  int wheel_rest_ = 0;
  SCROLLINFO applied_{};
  // The bar as last drawn.
  SCROLLBARINFO drawn_bar_{};
  // The current cell last announced: record number and column.
  std::pair<int, int> announced_cell_{0, -1};
  // The rows shown as last announced; none when they could not be read.
  std::optional<ShownRows> announced_rows_;
  // The title row's cells are header items of the visual style, where one is active.
  WindowTheme header_theme_{L"HEADER"};
};

}  // namespace tvx::win32
