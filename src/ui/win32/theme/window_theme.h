// The system's visual style, for the peers that paint parts of system controls themselves (the
// group box's frame and caption, the date field's button, the grid's title cells). uxtheme.dll
// is loaded at run time, so the module runs where it is missing or has no theme active; the
// classic look is drawn then, and in high contrast, which asks for system colours only.
//
// A WindowTheme holds one window's theme data for one class of parts ("BUTTON", "COMBOBOX",
// "HEADER"): opened when first asked for, closed on WM_THEMECHANGED (Forget) and opened again
// with the new theme at the next paint.
#pragma once

#include <optional>

#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

// High contrast is on (SPI_GETHIGHCONTRAST): only system colours, no theme parts.
bool HighContrastOn();

class WindowTheme {
 public:
  explicit WindowTheme(const wchar_t* part_classes) : part_classes_(part_classes) {}
  ~WindowTheme() { Forget(); }
  WindowTheme(const WindowTheme&) = delete;
  WindowTheme& operator=(const WindowTheme&) = delete;

  // Whether the window is drawn with a theme: one is active for it and high contrast is off.
  bool Active(HWND window);
  // Draw a part with the theme; false (nothing drawn) when the theme is not active.
  bool DrawBackground(HWND window, HDC dc, int part, int state, const RECT& rect);
  // A colour property of a part (TMT_TEXTCOLOR, say); none without a theme or when the style
  // does not give it.
  std::optional<COLORREF> Color(HWND window, int part, int state, int property);
  // The theme changed: the data are closed, and opened anew when next asked for.
  void Forget();

 private:
  void* Data(HWND window);

  const wchar_t* part_classes_;
  void* data_ = nullptr;
  bool opened_ = false;
};

}  // namespace tvx::win32
