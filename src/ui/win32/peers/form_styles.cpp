#include "ui/win32/peers/form_styles.h"

namespace tvx::win32 {

FormStyles StylesOfForm(TFormBorderStyle border, TBorderIcons icons) {
  FormStyles styles;
  const bool system_menu = icons.Contains(biSystemMenu);
  const DWORD menu = system_menu ? WS_SYSMENU : 0;
  const DWORD boxes = system_menu ? (icons.Contains(biMinimize) ? WS_MINIMIZEBOX : 0) |
                                        (icons.Contains(biMaximize) ? WS_MAXIMIZEBOX : 0)
                                  : 0;
  switch (border) {
    case TFormBorderStyle::bsNone:
      styles.style = WS_POPUP;
      break;
    case TFormBorderStyle::bsDialog:
      styles.style = WS_POPUP | WS_CAPTION | menu;
      styles.ex_style = WS_EX_DLGMODALFRAME;
      break;
    case TFormBorderStyle::bsSingle:
      styles.style = WS_OVERLAPPED | WS_CAPTION | menu | boxes;
      break;
    case TFormBorderStyle::bsSizeable:
      styles.style = WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | menu | boxes;
      break;
    case TFormBorderStyle::bsToolWindow:
      styles.style = WS_POPUP | WS_CAPTION | menu;
      styles.ex_style = WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::bsSizeToolWin:
      styles.style = WS_POPUP | WS_CAPTION | WS_THICKFRAME | menu;
      styles.ex_style = WS_EX_TOOLWINDOW;
      break;
  }
  styles.style |= WS_CLIPCHILDREN;
  return styles;
}

}  // namespace tvx::win32
