#include "ui/win32/backend/resolution.h"

namespace tvx::win32 {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

struct ResolutionFunctions {
  GetDpiForWindowFunction window_dpi = nullptr;
  AdjustForDpiFunction adjust = nullptr;
};

const ResolutionFunctions& Functions() {
  static const ResolutionFunctions functions = [] {
    ResolutionFunctions found;
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      found.window_dpi = reinterpret_cast<GetDpiForWindowFunction>(
          reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
      found.adjust = reinterpret_cast<AdjustForDpiFunction>(
          reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
    }
    return found;
  }();
  return functions;
}

}  // namespace

int WindowPixelsPerInch(HWND window) {
  const auto window_dpi = Functions().window_dpi;
  return window != nullptr && window_dpi != nullptr ? static_cast<int>(window_dpi(window)) : 0;
}

bool AdjustWindowRectForResolution(RECT& rect, DWORD style, DWORD ex_style, int pixels_per_inch) {
  const auto adjust = Functions().adjust;
  return pixels_per_inch > 0 && adjust != nullptr &&
         adjust(&rect, style, FALSE, ex_style, static_cast<UINT>(pixels_per_inch)) != FALSE;
}

}  // namespace tvx::win32
