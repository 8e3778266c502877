// Message boxes: MessageBoxW with the icon of the box's kind and its buttons, owned by the
// module's active modal window (the application's window, which the control layer names, when
// no form is modal). MessageBoxW disables its owner itself and enables it again before the box
// goes, so that the system hands the activation (and with it the foreground) back to the owner
// as the box closes, with no other program's window activated in between; the control that had
// the focus gets it back. Every other window of the thread is disabled while the box is up, as
// under a modal form.
//
// The box's buttons carry the control layer's captions ("OK", "Cancel", "&Yes", "&No") rather
// than the ones of the Windows UI language: a CBT hook of the thread renames them when the box
// is activated, before it is first drawn. The buttons keep their identifiers, so Enter, Escape
// and the keys of the captions work as in any system box.
#include "ui/core/message_dialogs.h"
#include "ui/win32/backend/win32_backend.h"

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

// The thread's CBT hook while one box is being made; boxes do not nest on a thread before they
// are activated, so one hook at a time suffices.
thread_local HHOOK box_hook = nullptr;

LRESULT CALLBACK NameBoxButtons(int code, WPARAM wparam, LPARAM lparam) {
  const HHOOK hook = box_hook;
  if (code == HCBT_ACTIVATE) {
    const auto box = reinterpret_cast<HWND>(wparam);
    wchar_t class_name[16] = {};
    GetClassNameW(box, class_name, 16);
    // The box's own dialog class ("#32770"); a window activated before it is left alone.
    if (std::wstring_view(class_name) == L"#32770") {
      const std::pair<int, TMsgDlgBtn> buttons[] = {
          {IDOK, mbOK}, {IDCANCEL, mbCancel}, {IDYES, mbYes}, {IDNO, mbNo}};
      for (const auto& [id, button] : buttons) {
        if (GetDlgItem(box, id) != nullptr) {
          SetDlgItemTextW(box, id, Wide(ButtonCaption(button)).c_str());
        }
      }
      UnhookWindowsHookEx(hook);
      box_hook = nullptr;
    }
  }
  return CallNextHookEx(hook, code, wparam, lparam);
}

}  // namespace

TModalResult Win32Backend::ShowMessageBox(const MessageBoxRequest& request) {
  HWND owner = ActiveModalWindow();
  if (owner == nullptr) owner = AsHwnd(request.owner);
  // Converted before the hook is set: a conversion that fails leaves no hook behind.
  const std::wstring text = Wide(request.text);
  const std::wstring title = Wide(request.title);
  HWND previous_active = GetActiveWindow();
  HWND previous_focus = GetFocus();
  // Ending the box enables its owner even when something else had disabled it before.
  const bool owner_was_disabled = owner != nullptr && !IsWindowEnabled(owner);
  ThreadWindowsDisabled disabled({owner, message_window_});
  int answer = 0;
  {
    VisualStyles::Scope scope(styles_);
    box_hook = SetWindowsHookExW(WH_CBT, &NameBoxButtons, nullptr, GetCurrentThreadId());
    answer = MessageBoxW(owner, text.c_str(), title.c_str(),
                         ButtonsOf(request.buttons) | IconOf(request.kind) | MB_APPLMODAL);
    if (box_hook != nullptr) {
      UnhookWindowsHookEx(box_hook);
      box_hook = nullptr;
    }
  }
  if (owner_was_disabled && IsWindow(owner)) EnableWindow(owner, FALSE);
  disabled.Restore();
  // Where the system gave the activation elsewhere (a box without an owner), the window that
  // was active before takes it back within the thread.
  if (GetActiveWindow() != previous_active && previous_active != nullptr &&
      IsWindow(previous_active) && IsWindowVisible(previous_active) &&
      IsWindowEnabled(previous_active)) {
    SetActiveWindow(previous_active);
  }
  // The focus goes back to the control that had it, whatever the window manager (or its
  // absence) did with the activation while the box was up.
  if (previous_focus != nullptr && IsWindow(previous_focus) && IsWindowVisible(previous_focus) &&
      IsWindowEnabled(previous_focus) && GetFocus() != previous_focus &&
      GetAncestor(previous_focus, GA_ROOT) == GetActiveWindow()) {
    SetFocus(previous_focus);
  }
  RethrowEscaped();
  return ResultOf(answer, request.buttons);
}

}  // namespace tvx::win32
