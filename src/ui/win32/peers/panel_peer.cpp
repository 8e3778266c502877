#include "ui/win32/peers/panel_peer.h"

#include "ui/win32/backend/gdi_cache.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::win32 {

namespace {

// One bevel, `width` pixels deep, drawn inwards from the rectangle's edge (which it moves in).
void DrawBevel(HDC dc, RECT& rect, TBevelCut cut, int32_t width) {
  if (cut == TBevelCut::bvNone) return;
  for (int32_t i = 0; i < width; ++i) {
    if (cut == TBevelCut::bvSpace) {
      InflateRect(&rect, -1, -1);
      continue;
    }
    DrawEdge(dc, &rect, cut == TBevelCut::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
             BF_RECT | BF_ADJUST);
  }
}

}  // namespace

WindowKind PanelPeer::Kind() const {
  return {.class_name = L"TavolexPanel",
          .own_class = true,
          .class_style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
          .style = WS_CLIPCHILDREN,
          .ex_style = WS_EX_CONTROLPARENT};
}

void PanelPeer::Paint(HDC dc) {
  const auto& panel = static_cast<const TPanel&>(Control());
  RECT rect;
  GetClientRect(Hwnd(), &rect);
  DrawBevel(dc, rect, panel.BevelOuter(), panel.BevelWidth());
  InflateRect(&rect, -panel.BorderWidth(), -panel.BorderWidth());
  DrawBevel(dc, rect, panel.BevelInner(), panel.BevelWidth());
  if (panel.Caption().empty()) return;
  const std::wstring caption = Wide(panel.Caption());
  HGDIOBJ previous = SelectObject(dc, Backend().Gdi().Font(*panel.Font()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, panel.Enabled() ? ColorRef(panel.Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rect,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, previous);
}

}  // namespace tvx::win32
