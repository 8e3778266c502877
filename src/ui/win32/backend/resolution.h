// Per-monitor resolution where the system has it (Windows 10 1607 and later: GetDpiForWindow,
// AdjustWindowRectExForDpi, looked up at run time); elsewhere the system's one resolution.
#pragma once

#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

// The resolution the system draws the window at; 0 where it has no per-window resolution.
int WindowPixelsPerInch(HWND window);

// AdjustWindowRectEx at a resolution; false (rect untouched) where the system cannot.
bool AdjustWindowRectForResolution(RECT& rect, DWORD style, DWORD ex_style, int pixels_per_inch);

}  // namespace tvx::win32
