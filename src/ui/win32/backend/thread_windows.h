// Keeps input away from the thread's other windows while a form is modal or a message box is
// up: disables every visible, enabled top-level window of the thread except the ones given,
// and enables those again (in the reverse order) when it ends or Restore is called.
#pragma once

#include <initializer_list>
#include <vector>

#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

class ThreadWindowsDisabled {
 public:
  explicit ThreadWindowsDisabled(std::initializer_list<HWND> except);
  ~ThreadWindowsDisabled() { Restore(); }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

  void Restore();
  const std::vector<HWND>& Windows() const { return disabled_; }

 private:
  std::vector<HWND> except_;
  std::vector<HWND> disabled_;
};

}  // namespace tvx::win32
