#include "ui/win32/data/grid_peer.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "ui/core/form.h"
#include "ui/win32/accessibility/accessible_names.h"
#include "ui/win32/backend/win32_backend.h"
#include "ui/win32/data/grid_painter.h"

namespace tvx::win32 {

namespace {

// Whether two pictures of the shown rows show the same rows, whose cells may have changed their
// texts: the same first row, as many rows and columns, and no row showing what another row
// showed before (the rows moved: a new order).
bool SameRows(const std::vector<std::vector<std::string>>& before,
              const std::vector<std::vector<std::string>>& now, size_t title_rows) {
  if (before.size() != now.size()) return false;
  for (size_t row = 0; row < now.size(); ++row) {
    if (before[row].size() != now[row].size()) return false;
    if (row < title_rows || before[row] == now[row]) continue;
    for (size_t other = title_rows; other < before.size(); ++other) {
      if (other != row && before[other] == now[row]) return false;
    }
  }
  return true;
}

}  // namespace

SCROLLINFO GridScrollInfo(int row_count, int visible_rows, int current_row) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  const int page = std::max(1, visible_rows);
  info.nMin = 1;
  info.nPage = static_cast<UINT>(page);
  if (row_count <= page) {
    // Everything fits: a range of one page, which hides the bar.
    info.nMax = page;
    info.nPos = 1;
    return info;
  }
  // The thumb's positions run from 1 to nMax - nPage + 1, that is to the last row.
  const int64_t max = static_cast<int64_t>(row_count) + page - 1;
  info.nMax = static_cast<int>(std::min<int64_t>(max, INT_MAX));
  const int last_position = info.nMax - page + 1;
  info.nPos = std::clamp(current_row, 1, last_position);
  return info;
}

// The picture covers every pixel; erasing first would only flicker.
GridPeer::GridPeer(Win32Backend& backend, TDBGrid& grid)
    : PaintedPeer(backend, grid, Background::kPaintCovers) {}

GridPeer::~GridPeer() {
  EndAccessibility();
  if (buffer_dc_ != nullptr) {
    SelectObject(buffer_dc_, buffer_previous_);
    DeleteDC(buffer_dc_);
  }
  if (buffer_ != nullptr) DeleteObject(buffer_);
}

WindowKind GridPeer::Kind() const {
  return {.class_name = L"TavolexGrid",
          .own_class = true,
          .class_style = CS_DBLCLKS,
          .style = WS_VSCROLL,
          .ex_style = WS_EX_CLIENTEDGE};
}

void GridPeer::Created() {
  UpdateScrollBar();
  // What a reader will read first; changes are told from here on.
  announced_rows_ = TryReadShownRows();
}

void GridPeer::Changed(ControlChange change) {
  if (Hwnd() == nullptr) return;
  switch (change) {
    case ControlChange::Content:
      UpdateScrollBar();
      InvalidateRect(Hwnd(), nullptr, FALSE);
      AnnounceShownRows();
      AnnounceCurrentCell(false);
      break;
    case ControlChange::Font:
    case ControlChange::Color:
    case ControlChange::Enabled:
    case ControlChange::Appearance:
      PaintedPeer::Changed(change);
      UpdateScrollBar();
      InvalidateRect(Hwnd(), nullptr, FALSE);
      break;
    default:
      PaintedPeer::Changed(change);
      break;
  }
}

void GridPeer::UpdateScrollBar() {
  const TDBGrid& grid = Grid();
  const SCROLLINFO info = GridScrollInfo(grid.RowCount(), grid.VisibleRowCount(), grid.Row());
  if (info.nMax == applied_.nMax && info.nPage == applied_.nPage && info.nPos == applied_.nPos &&
      applied_.cbSize != 0) {
    return;
  }
  applied_ = info;
  // Drawing the bar costs more than the whole picture of the grid, so it is drawn again only
  // when its thumb moves by a pixel or it comes or goes (a row of a million rarely moves it).
  SetScrollInfo(Hwnd(), SB_VERT, &info, FALSE);
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof(bar);
  GetScrollBarInfo(Hwnd(), OBJID_VSCROLL, &bar);
  if (bar.xyThumbTop != drawn_bar_.xyThumbTop || bar.xyThumbBottom != drawn_bar_.xyThumbBottom ||
      bar.rgstate[0] != drawn_bar_.rgstate[0] ||
      !EqualRect(&bar.rcScrollBar, &drawn_bar_.rcScrollBar)) {
    drawn_bar_ = bar;
    // Only the bar's part of the frame is drawn again, with the next picture.
    RECT area = bar.rcScrollBar;
    MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(Hwnd(), &area, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
  }
}

void GridPeer::Paint(HDC dc) {
  RECT client;
  GetClientRect(Hwnd(), &client);
  const SIZE size{client.right, client.bottom};
  if (size.cx <= 0 || size.cy <= 0) return;
  if (buffer_dc_ == nullptr || size.cx != buffer_size_.cx || size.cy != buffer_size_.cy) {
    if (buffer_dc_ == nullptr) {
      buffer_dc_ = CreateCompatibleDC(dc);
    } else {
      SelectObject(buffer_dc_, buffer_previous_);
      DeleteObject(buffer_);
    }
    buffer_ = CreateCompatibleBitmap(dc, size.cx, size.cy);
    buffer_previous_ = SelectObject(buffer_dc_, buffer_);
    buffer_size_ = size;
  }
  const bool focus_cues = (SendMessageW(Hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
  PaintGrid(Grid(), buffer_dc_, size, Backend().Gdi(), focus_cues, {&header_theme_, Hwnd()});
  BitBlt(dc, 0, 0, size.cx, size.cy, buffer_dc_, 0, 0, SRCCOPY);
}

void GridPeer::ScrollRequest(int request) {
  TDBGrid& grid = Grid();
  switch (request) {
    case SB_LINEUP:
      grid.MoveToRow(grid.Row() - 1);
      break;
    case SB_LINEDOWN:
      grid.MoveToRow(grid.Row() + 1);
      break;
    case SB_PAGEUP:
      grid.DoKeyDown(kVkPrior, kNoShift);
      break;
    case SB_PAGEDOWN:
      grid.DoKeyDown(kVkNext, kNoShift);
      break;
    case SB_TOP:
      grid.MoveToRow(1);
      break;
    case SB_BOTTOM:
      grid.MoveToRow(grid.RowCount());
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The 32-bit position: the one in the message is cut to 16 bits.
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(Hwnd(), SB_VERT, &info)) grid.MoveToRow(info.nTrackPos);
      break;
    }
    default:
      break;
  }
}

void GridPeer::Wheel(int delta) {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  if (lines == 0) return;  // the wheel scrolls nothing
  // A page a notch, or the given rows: a notch is WHEEL_DELTA, a row WHEEL_DELTA / rows of it.
  const int rows_a_notch = lines == WHEEL_PAGESCROLL ? std::max(1, Grid().VisibleRowCount())
                                                     : static_cast<int>(std::min(lines, 1000u));
  wheel_rest_ += delta * rows_a_notch;
  const int rows = wheel_rest_ / WHEEL_DELTA;
  wheel_rest_ -= rows * WHEEL_DELTA;
  if (rows != 0) Grid().MouseWheel(rows);
}

LRESULT GridPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      InvalidateRect(Hwnd(), nullptr, FALSE);
      break;
    case WM_VSCROLL:
      if (lparam == 0) {
        ScrollRequest(LOWORD(wparam));
        return 0;
      }
      break;
    case WM_SETFOCUS: {
      const LRESULT result = PaintedPeer::OnMessage(message, wparam, lparam);
      AnnounceCurrentCell(true);
      return result;
    }
    case WM_MOUSEWHEEL:
      Wheel(GET_WHEEL_DELTA_WPARAM(wparam));
      return 0;
    default:
      break;
  }
  return PaintedPeer::OnMessage(message, wparam, lparam);
}

long GridPeer::TitleRows() const { return Grid().Options().Contains(dgTitles) ? 1 : 0; }

long GridPeer::ChildCount(const AccessiblePath& path) const {
  if (path.empty()) return TitleRows() + Grid().ShownRowCount();
  if (path.size() == 1) return Grid().ColumnCount();
  return 0;
}

AccessibleItem GridPeer::Describe(const AccessiblePath& path) const {
  const TDBGrid& grid = Grid();
  if (path.empty()) {
    std::string name = LabelBefore(grid);
    if (name.empty() && grid.ParentForm() != nullptr) {
      name = SpokenCaption(grid.ParentForm()->Caption());
    }
    return MakeAccessibleItem(ROLE_SYSTEM_TABLE, std::move(name),
                              STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_READONLY);
  }
  // The title row is shown row -1, the data rows 0 and on.
  const int shown_row = static_cast<int>(path[0] - TitleRows() - 1);
  const int rec_no = grid.TopRow() + shown_row;
  if (path.size() == 1) {
    const TRect first = grid.CellRect(shown_row, -1);
    AccessibleItem row = MakeAccessibleItem(
        ROLE_SYSTEM_ROW,
        shown_row < 0 || grid.ColumnCount() == 0 ? std::string() : grid.CellText(rec_no, 0),
        STATE_SYSTEM_READONLY);
    row.location = RECT{0, first.top, static_cast<LONG>(grid.ClientSize().cx), first.bottom};
    return row;
  }
  const int column = static_cast<int>(path[1] - 1);
  const TRect cell = grid.CellRect(shown_row, column);
  const RECT rect{cell.left, cell.top, cell.right, cell.bottom};
  long state = STATE_SYSTEM_READONLY;
  if (cell.right <= cell.left) state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
  if (shown_row < 0) {
    AccessibleItem header =
        MakeAccessibleItem(ROLE_SYSTEM_COLUMNHEADER, grid.TitleText(column), state);
    header.location = rect;
    return header;
  }
  AccessibleItem item =
      MakeAccessibleItem(ROLE_SYSTEM_CELL, grid.TitleText(column),
                         state | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE);
  item.value = grid.CellText(rec_no, column);
  item.location = rect;
  return item;
}

std::optional<AccessiblePath> GridPeer::CurrentCell() const {
  const TDBGrid& grid = Grid();
  const int shown_row = grid.Row() - grid.TopRow();
  if (grid.Row() < 1 || shown_row < 0 || shown_row >= grid.ShownRowCount() ||
      grid.ColumnCount() == 0) {
    return std::nullopt;
  }
  return AccessiblePath{TitleRows() + shown_row + 1, grid.SelectedIndex() + 1};
}

AccessiblePath GridPeer::FocusedItem() const { return CurrentCell().value_or(AccessiblePath{}); }

std::optional<AccessiblePath> GridPeer::SelectedItem() const { return CurrentCell(); }

void GridPeer::AnnounceCurrentCell(bool always) {
  const std::pair<int, int> cell{Grid().Row(), Grid().SelectedIndex()};
  if (!always && cell == announced_cell_) return;
  announced_cell_ = cell;
  const std::optional<AccessiblePath> path = CurrentCell();
  if (!path) return;
  RaiseAccessible(EVENT_OBJECT_SELECTION, *path);
  if (GetFocus() == Hwnd()) RaiseAccessible(EVENT_OBJECT_FOCUS, *path);
}

GridPeer::ShownRows GridPeer::ReadShownRows() const {
  const TDBGrid& grid = Grid();
  ShownRows shown;
  shown.top_row = grid.TopRow();
  const int columns = grid.ColumnCount();
  if (TitleRows() != 0) {
    std::vector<std::string>& titles = shown.texts.emplace_back();
    for (int column = 0; column < columns; ++column) titles.push_back(grid.TitleText(column));
  }
  for (int row = 0; row < grid.ShownRowCount(); ++row) {
    std::vector<std::string>& cells = shown.texts.emplace_back();
    for (int column = 0; column < columns; ++column) {
      cells.push_back(grid.CellText(grid.TopRow() + row, column));
    }
  }
  return shown;
}

std::optional<GridPeer::ShownRows> GridPeer::TryReadShownRows() const {
  try {
    return ReadShownRows();
  } catch (...) {
    // A text that cannot be read (painting meets the same fault): none, and readers are told
    // to read the rows again, whatever they are.
    return std::nullopt;
  }
}

void GridPeer::AnnounceShownRows() {
  const std::optional<ShownRows> now = TryReadShownRows();
  const std::optional<ShownRows> before = std::exchange(announced_rows_, now);
  if (before && now && *before == *now) return;
  const auto title_rows = static_cast<size_t>(TitleRows());
  if (!before || !now || before->top_row != now->top_row ||
      !SameRows(before->texts, now->texts, title_rows)) {
    RaiseAccessible(EVENT_OBJECT_REORDER);
    return;
  }
  for (size_t row = 0; row < now->texts.size(); ++row) {
    const std::vector<std::string>& old_cells = before->texts[row];
    const std::vector<std::string>& new_cells = now->texts[row];
    const auto child = static_cast<long>(row) + 1;
    for (size_t column = 0; column < new_cells.size(); ++column) {
      if (old_cells[column] == new_cells[column]) continue;
      const AccessiblePath cell{child, static_cast<long>(column) + 1};
      // A header's text is its name; a cell's is its value, and the first is its row's name.
      if (row < title_rows) {
        RaiseAccessible(EVENT_OBJECT_NAMECHANGE, cell);
        continue;
      }
      RaiseAccessible(EVENT_OBJECT_VALUECHANGE, cell);
      if (column == 0) RaiseAccessible(EVENT_OBJECT_NAMECHANGE, {child});
    }
  }
}

}  // namespace tvx::win32
