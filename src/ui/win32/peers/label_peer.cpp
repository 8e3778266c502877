#include "ui/win32/peers/label_peer.h"

#include <cstdint>
#include <string>
#include <vector>

#include "ui/core/input.h"
#include "ui/win32/accessibility/accessible_names.h"
#include "ui/win32/backend/gdi_cache.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::win32 {

namespace {

// How far text drawn from x = 0 in dc's font inks: one past its rightmost inked column. The text
// is drawn into a bitmap of its own, wide enough for any overrun.
int InkedWidth(HDC dc, const std::wstring& text, int measured_width, int height) {
  const int width = measured_width + measured_width / 4 + 16;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return measured_width;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous_bitmap = SelectObject(memory, bitmap);
  HGDIOBJ previous_font = SelectObject(memory, GetCurrentObject(dc, OBJ_FONT));
  const RECT all{0, 0, width, height};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, RGB(0, 0, 0));
  TextOutW(memory, 0, 0, text.c_str(), static_cast<int>(text.size()));
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  int inked = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = width - 1; x >= inked; --x) {
      if ((pixels[y * width + x] & 0xFFFFFFu) != 0xFFFFFFu) {
        inked = x + 1;
        break;
      }
    }
  }
  SelectObject(memory, previous_font);
  SelectObject(memory, previous_bitmap);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return inked;
}

}  // namespace

WindowKind LabelPeer::Kind() const {
  return {.class_name = L"TavolexLabel", .own_class = true, .class_style = CS_HREDRAW | CS_VREDRAW};
}

AccessibleItem LabelPeer::Describe(const AccessiblePath& /*path*/) const {
  return MakeAccessibleItem(ROLE_SYSTEM_STATICTEXT, SpokenCaption(Control().Caption()),
                            STATE_SYSTEM_READONLY);
}

void LabelPeer::Changed(ControlChange change) {
  PaintedPeer::Changed(change);
  if (change == ControlChange::Text) RaiseAccessible(EVENT_OBJECT_NAMECHANGE);
}

LRESULT LabelPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_LBUTTONDOWN) {
    // The peer may be gone once the click has been handled.
    input::Click(Control());
    return 0;
  }
  return PaintedPeer::OnMessage(message, wparam, lparam);
}

void LabelPeer::Paint(HDC dc) {
  const std::wstring text = Wide(Control().Caption());
  if (text.empty()) return;
  const int length = static_cast<int>(text.size());
  HGDIOBJ previous = SelectObject(dc, Backend().Gdi().Font(*Control().Font()));
  RECT rect;
  GetClientRect(Hwnd(), &rect);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(
      dc, Control().Enabled() ? ColorRef(Control().Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
  // Where the measurement ends each character.
  std::vector<int> ends(text.size());
  SIZE size{};
  GetTextExtentExPointW(dc, text.c_str(), length, 0, nullptr, ends.data(), &size);
  if (InkedWidth(dc, text, size.cx, rect.bottom) <= rect.right) {
    ExtTextOutW(dc, 0, 0, ETO_CLIPPED, &rect, text.c_str(), static_cast<UINT>(length), nullptr);
  } else {
    std::vector<int> steps(text.size());
    for (size_t i = 0; i < steps.size(); ++i) steps[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
    ExtTextOutW(dc, 0, 0, ETO_CLIPPED, &rect, text.c_str(), static_cast<UINT>(length),
                steps.data());
  }
  SelectObject(dc, previous);
}

}  // namespace tvx::win32
