#include "ui/win32/theme/window_theme.h"

#include <uxtheme.h>

namespace tvx::win32 {

namespace {

// uxtheme's functions, found once per process; all null where the library is missing.
struct ThemeFunctions {
  decltype(&::OpenThemeData) open = nullptr;
  decltype(&::CloseThemeData) close = nullptr;
  decltype(&::DrawThemeBackground) draw_background = nullptr;
  decltype(&::IsThemeActive) is_active = nullptr;
  decltype(&::IsAppThemed) is_app_themed = nullptr;
  decltype(&::GetThemeColor) color = nullptr;

  bool Complete() const {
    return open && close && draw_background && is_active && is_app_themed && color;
  }
};

template <class Function>
void Find(HMODULE library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

const ThemeFunctions& Functions() {
  static const ThemeFunctions functions = [] {
    ThemeFunctions found;
    // From the system folder only; kept loaded for the process's lifetime, as the theme data
    // it hands out live in it.
    HMODULE library = LoadSystemLibrary(L"uxtheme.dll");
    if (library == nullptr) return found;
    Find(library, "OpenThemeData", found.open);
    Find(library, "CloseThemeData", found.close);
    Find(library, "DrawThemeBackground", found.draw_background);
    Find(library, "IsThemeActive", found.is_active);
    Find(library, "IsAppThemed", found.is_app_themed);
    Find(library, "GetThemeColor", found.color);
    if (!found.Complete()) found = ThemeFunctions{};
    return found;
  }();
  return functions;
}

}  // namespace

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void* WindowTheme::Data(HWND window) {
  const ThemeFunctions& theme = Functions();
  if (!theme.Complete() || HighContrastOn()) return nullptr;
  if (!opened_) {
    opened_ = true;
    if (theme.is_active() && theme.is_app_themed()) data_ = theme.open(window, part_classes_);
  }
  return data_;
}

bool WindowTheme::Active(HWND window) { return Data(window) != nullptr; }

bool WindowTheme::DrawBackground(HWND window, HDC dc, int part, int state, const RECT& rect) {
  void* data = Data(window);
  return data != nullptr && SUCCEEDED(Functions().draw_background(static_cast<HTHEME>(data), dc,
                                                                  part, state, &rect, nullptr));
}

std::optional<COLORREF> WindowTheme::Color(HWND window, int part, int state, int property) {
  void* data = Data(window);
  COLORREF color = 0;
  if (data == nullptr ||
      FAILED(Functions().color(static_cast<HTHEME>(data), part, state, property, &color))) {
    return std::nullopt;
  }
  return color;
}

void WindowTheme::Forget() {
  if (data_ != nullptr) Functions().close(static_cast<HTHEME>(data_));
  data_ = nullptr;
  opened_ = false;
}

}  // namespace tvx::win32
