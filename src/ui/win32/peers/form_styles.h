// The window styles of a form's frame, from its border style and border icons. The backend
// measures the frame (AdjustWindowRectEx) with the same styles that the form's window is
// created with, so the client area is exactly what the control layer expects.
#pragma once

#include "ui/core/ui_types.h"
#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

struct FormStyles {
  DWORD style = 0;
  DWORD ex_style = 0;
};

// Dialog: WS_POPUP | WS_CAPTION (| WS_SYSMENU with a system menu) and WS_EX_DLGMODALFRAME,
// fixed size, no minimise or maximise box. Sizeable: an overlapped window's frame
// (WS_CAPTION | WS_THICKFRAME, with WS_SYSMENU, WS_MINIMIZEBOX and WS_MAXIMIZEBOX as the icons
// say). Single: the same without the sizing border. Tool windows: WS_EX_TOOLWINDOW. None:
// WS_POPUP without a frame.
FormStyles StylesOfForm(TFormBorderStyle border, TBorderIcons icons);

}  // namespace tvx::win32
