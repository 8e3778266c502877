#include "support/thread_windows.h"

#include <algorithm>

namespace tvx::test {

std::wstring WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

HWND FindThreadWindow(std::wstring_view title) {
  struct Search {
    std::wstring_view title;
    HWND found = nullptr;
  } search{title};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (IsWindowVisible(window) && WindowTextOf(window) == s->title) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace tvx::test
