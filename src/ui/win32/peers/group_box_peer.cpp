#include "ui/win32/peers/group_box_peer.h"

#include <string>

#include <vssym32.h>

#include "ui/win32/backend/gdi_cache.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::win32 {

WindowKind GroupBoxPeer::Kind() const {
  return {.class_name = L"BUTTON",
          .style = BS_GROUPBOX | WS_CLIPCHILDREN,
          .ex_style = WS_EX_CONTROLPARENT};
}

LRESULT GroupBoxPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ENABLE) {
    // The system's box repaints itself here; ours is drawn by WM_PAINT alone.
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return 0;
  }
  return PaintedPeer::OnMessage(message, wparam, lparam);
}

COLORREF GroupBoxPeer::CaptionColor(bool themed) {
  const bool enabled = Control().Enabled();
  const COLORREF classic =
      enabled ? ColorRef(Control().Font()->Color()) : GetSysColor(COLOR_GRAYTEXT);
  if (!themed) return classic;
  // The style's caption colour; a style that gives a disabled caption the enabled colour (or
  // none) gets the system's grey, so that a disabled box always looks disabled.
  const std::optional<COLORREF> normal =
      theme_.Color(Hwnd(), BP_GROUPBOX, GBS_NORMAL, TMT_TEXTCOLOR);
  if (enabled) return normal.value_or(classic);
  const std::optional<COLORREF> disabled =
      theme_.Color(Hwnd(), BP_GROUPBOX, GBS_DISABLED, TMT_TEXTCOLOR);
  return disabled && disabled != normal ? *disabled : classic;
}

void GroupBoxPeer::Paint(HDC dc) {
  HGDIOBJ previous = SelectObject(dc, Backend().Gdi().Font(*Control().Font()));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT frame;
  GetClientRect(Hwnd(), &frame);
  // The frame's top line runs through the middle of the caption.
  frame.top += metrics.tmHeight / 2;
  const bool enabled = Control().Enabled();
  const int state = enabled ? GBS_NORMAL : GBS_DISABLED;
  const bool themed = theme_.DrawBackground(Hwnd(), dc, BP_GROUPBOX, state, frame);
  if (!themed) DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::wstring caption = Wide(Control().Caption());
  if (!caption.empty()) {
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    const int left = ScaledToForm(8);
    const int gap = ScaledToForm(2);
    const RECT behind{left - gap, 0, left + size.cx + gap, metrics.tmHeight};
    FillRect(dc, &behind, Backend().Gdi().Brush(Control().Color()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, CaptionColor(themed));
    TextOutW(dc, left, 0, caption.c_str(), static_cast<int>(caption.size()));
  }
  SelectObject(dc, previous);
}

}  // namespace tvx::win32
