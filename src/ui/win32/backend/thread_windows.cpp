#include "ui/win32/backend/thread_windows.h"

#include <algorithm>

namespace tvx::win32 {

ThreadWindowsDisabled::ThreadWindowsDisabled(std::initializer_list<HWND> except) : except_(except) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM self_param) CALLBACK -> BOOL {
        auto* self = reinterpret_cast<ThreadWindowsDisabled*>(self_param);
        if (std::find(self->except_.begin(), self->except_.end(), hwnd) != self->except_.end()) {
          return TRUE;
        }
        if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) self->disabled_.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(this));
  for (HWND hwnd : disabled_) EnableWindow(hwnd, FALSE);
}

void ThreadWindowsDisabled::Restore() {
  for (auto it = disabled_.rbegin(); it != disabled_.rend(); ++it) {
    if (IsWindow(*it)) EnableWindow(*it, TRUE);
  }
  disabled_.clear();
}

}  // namespace tvx::win32
