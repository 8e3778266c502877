#include "ui/win32/backend/keyboard.h"

namespace tvx::win32 {

ShiftState CurrentShiftState(LPARAM lparam, bool system_key) {
  ShiftState shift;
  shift.shift = GetKeyState(VK_SHIFT) < 0;
  shift.ctrl = GetKeyState(VK_CONTROL) < 0;
  shift.alt = system_key ? (lparam & (1 << 29)) != 0 : GetKeyState(VK_MENU) < 0;
  return shift;
}

}  // namespace tvx::win32
