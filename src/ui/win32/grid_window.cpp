#include "ui/win32/grid_window.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "ui/win32/grid_painter.h"
#include "ui/win32/win32_backend.h"

namespace tvx::win32 {

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

void GridPeer::Created() { UpdateScrollBar(); }

void GridPeer::Changed(ControlChange change) {
  if (Hwnd() == nullptr) return;
  switch (change) {
    case ControlChange::Content:
      UpdateScrollBar();
      InvalidateRect(Hwnd(), nullptr, FALSE);
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
  PaintGrid(Grid(), buffer_dc_, size, Backend().Gdi());
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
  wheel_rest_ += delta;
  const int notches = wheel_rest_ / WHEEL_DELTA;
  wheel_rest_ -= notches * WHEEL_DELTA;
  if (notches != 0) Grid().MouseWheel(notches);
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
    case WM_MOUSEWHEEL:
      Wheel(GET_WHEEL_DELTA_WPARAM(wparam));
      return 0;
    default:
      break;
  }
  return PaintedPeer::OnMessage(message, wparam, lparam);
}

}  // namespace tvx::win32
