// The Windows headers as the native backend uses them, and the small conversions it needs at
// the boundary: UTF-8 texts to the wide strings of the W functions and back, and the control
// layer's window handles to HWNDs.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

#include "ui/core/ui_types.h"

namespace tvx::win32 {

// UTF-8 to the UTF-16 of the W functions (ill-formed input becomes U+FFFD).
std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

inline HWND AsHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }
inline WindowHandle AsHandle(HWND hwnd) { return reinterpret_cast<WindowHandle>(hwnd); }

// The module (executable or library) that this code was linked into: its window classes and
// its manifest resource belong to it.
HINSTANCE ThisModule();

// Loads a library of the system's (uxtheme.dll, comctl32.dll) from the system folder only, never
// from the host's folder or the search path: LOAD_LIBRARY_SEARCH_SYSTEM32, or, where the system
// does not know that flag (ERROR_INVALID_PARAMETER: Windows 7 without its update), the full path
// in the system folder. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The text of a window, for tests and diagnostics.
std::wstring WindowText(HWND hwnd);

}  // namespace tvx::win32
