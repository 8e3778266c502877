// Message boxes: MessageBoxW, owned by the window the control layer names (the application's),
// with the icon of the box's kind and its buttons. While a box is up, every other window of
// the thread is disabled, as under a modal form, and the window that was active before gets
// the activation back afterwards.
#include "ui/win32/win32_backend.h"

namespace tvx::win32 {

namespace {

UINT IconOf(TMsgDlgType kind) {
  switch (kind) {
    case TMsgDlgType::mtWarning:
      return MB_ICONWARNING;
    case TMsgDlgType::mtError:
      return MB_ICONERROR;
    case TMsgDlgType::mtInformation:
      return MB_ICONINFORMATION;
    case TMsgDlgType::mtConfirmation:
      return MB_ICONQUESTION;
  }
  return 0;
}

// The nearest set of buttons MessageBoxW offers.
UINT ButtonsOf(TMsgDlgButtons buttons) {
  const bool yes_no = buttons.Contains(mbYes) || buttons.Contains(mbNo);
  const bool cancel = buttons.Contains(mbCancel);
  if (yes_no) return cancel ? MB_YESNOCANCEL : MB_YESNO;
  return cancel ? MB_OKCANCEL : MB_OK;
}

TModalResult ResultOf(int answer, TMsgDlgButtons buttons) {
  switch (answer) {
    case IDOK:
      return mrOk;
    case IDCANCEL:
      // A box closed without a Cancel button among its buttons was answered with OK.
      return buttons.Contains(mbCancel) || buttons.Contains(mbNo) ? mrCancel : mrOk;
    case IDYES:
      return mrYes;
    case IDNO:
      return mrNo;
    default:
      return mrCancel;
  }
}

}  // namespace

TModalResult Win32Backend::ShowMessageBox(const MessageBoxRequest& request) {
  HWND owner = AsHwnd(request.owner);
  HWND previous_active = GetActiveWindow();
  HWND previous_focus = GetFocus();
  // Ending the box may enable its owner even when a modal form had disabled it before.
  const bool owner_was_disabled = owner != nullptr && !IsWindowEnabled(owner);
  ThreadWindowsDisabled disabled({owner, message_window_});
  int answer = 0;
  {
    VisualStyles::Scope scope(styles_);
    answer = MessageBoxW(owner, Wide(request.text).c_str(), Wide(request.title).c_str(),
                         ButtonsOf(request.buttons) | IconOf(request.kind) | MB_APPLMODAL);
  }
  if (owner_was_disabled && IsWindow(owner)) EnableWindow(owner, FALSE);
  disabled.Restore();
  if (previous_active != nullptr && IsWindow(previous_active) && IsWindowVisible(previous_active) &&
      IsWindowEnabled(previous_active)) {
    SetActiveWindow(previous_active);
  }
  // The focus goes back to the control that had it, whatever the window manager (or its
  // absence) did with the activation while the box was up.
  if (previous_focus != nullptr && IsWindow(previous_focus) && IsWindowVisible(previous_focus) &&
      IsWindowEnabled(previous_focus) && GetFocus() != previous_focus &&
      GetAncestor(previous_focus, GA_ROOT) == previous_active) {
    SetFocus(previous_focus);
  }
  RethrowEscaped();
  return ResultOf(answer, request.buttons);
}

}  // namespace tvx::win32
