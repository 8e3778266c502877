#include "ui/win32/peers/bevel_peer.h"

#include "ui/win32/backend/gdi_cache.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::win32 {

namespace {

void Line(HDC dc, HBRUSH brush, int left, int top, int right, int bottom) {
  const RECT rect{left, top, right, bottom};
  FillRect(dc, &rect, brush);
}

// A rectangle outline: `first` along the top and left edges, `second` along the bottom and
// right ones.
void Frame(HDC dc, const RECT& r, HBRUSH first, HBRUSH second) {
  Line(dc, first, r.left, r.top, r.right - 1, r.top + 1);
  Line(dc, first, r.left, r.top, r.left + 1, r.bottom - 1);
  Line(dc, second, r.left, r.bottom - 1, r.right, r.bottom);
  Line(dc, second, r.right - 1, r.top, r.right, r.bottom);
}

}  // namespace

WindowKind BevelPeer::Kind() const {
  return {.class_name = L"TavolexBevel", .own_class = true, .class_style = CS_HREDRAW | CS_VREDRAW};
}

LRESULT BevelPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCHITTEST) return HTTRANSPARENT;
  return PaintedPeer::OnMessage(message, wparam, lparam);
}

void BevelPeer::Paint(HDC dc) {
  const auto& bevel = static_cast<const TBevel&>(Control());
  GdiCache& gdi = Backend().Gdi();
  const bool lowered = bevel.Style() == TBevelStyle::bsLowered;
  HBRUSH first = gdi.Brush(lowered ? clBtnShadow : clBtnHighlight);
  HBRUSH second = gdi.Brush(lowered ? clBtnHighlight : clBtnShadow);
  RECT r;
  GetClientRect(Hwnd(), &r);
  switch (bevel.Shape()) {
    case TBevelShape::bsBox:
      Frame(dc, r, first, second);
      break;
    case TBevelShape::bsFrame: {
      // Two outlines one pixel apart: an etched (or embossed) frame.
      RECT inner{r.left + 1, r.top + 1, r.right, r.bottom};
      Frame(dc, inner, second, second);
      RECT outer{r.left, r.top, r.right - 1, r.bottom - 1};
      Frame(dc, outer, first, first);
      break;
    }
    case TBevelShape::bsTopLine:
      Line(dc, first, r.left, r.top, r.right, r.top + 1);
      Line(dc, second, r.left, r.top + 1, r.right, r.top + 2);
      break;
    case TBevelShape::bsBottomLine:
      Line(dc, first, r.left, r.bottom - 2, r.right, r.bottom - 1);
      Line(dc, second, r.left, r.bottom - 1, r.right, r.bottom);
      break;
    case TBevelShape::bsLeftLine:
      Line(dc, first, r.left, r.top, r.left + 1, r.bottom);
      Line(dc, second, r.left + 1, r.top, r.left + 2, r.bottom);
      break;
    case TBevelShape::bsRightLine:
      Line(dc, first, r.right - 2, r.top, r.right - 1, r.bottom);
      Line(dc, second, r.right - 1, r.top, r.right, r.bottom);
      break;
    case TBevelShape::bsSpacer:
      break;
  }
}

}  // namespace tvx::win32
