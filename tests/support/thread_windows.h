// The windows of the test's own thread, found as the operator finds them: by their title.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace tvx::test {

// A window's text (a top-level window's title).
std::wstring WindowTextOf(HWND window);

// The first visible top-level window of this thread with this title; null when there is none.
HWND FindThreadWindow(std::wstring_view title);

}  // namespace tvx::test
