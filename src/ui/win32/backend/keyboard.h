// The state of the modifier keys for a key message, as the control layer takes it.
#pragma once

#include "ui/core/keys.h"
#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

// Shift and Ctrl as the thread's key state has them when the message is handled; Alt from
// the message itself for WM_SYSKEYDOWN (bit 29 of lparam), else from the key state.
ShiftState CurrentShiftState(LPARAM lparam, bool system_key);

}  // namespace tvx::win32
