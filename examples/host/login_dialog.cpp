#include "host/login_dialog.h"

#include <cstdint>
#include <vector>

#include "tavolex/host.h"

namespace tvx::host {

namespace {

constexpr WORD kUserEdit = 101;
constexpr WORD kPasswordEdit = 102;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

// A dialog template in memory: DLGTEMPLATE, then its items, each DWORD-aligned.
class Template {
 public:
  Template(const wchar_t* title, short width, short height, WORD items) {
    DLGTEMPLATE head{};
    head.style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    head.cdit = items;
    head.cx = width;
    head.cy = height;
    Raw(&head, sizeof head);
    Word(0);  // no menu
    Word(0);  // the standard class
    Text(title);
    Word(8);
    Text(L"MS Shell Dlg");
  }
  void Item(WORD control_class, WORD id, DWORD style, short x, short y, short cx, short cy,
            const wchar_t* text) {
    Align();
    DLGITEMTEMPLATE item{};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    Raw(&item, sizeof item);
    Word(0xFFFF);
    Word(control_class);
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Raw(const void* data, std::size_t bytes) {
    const auto* from = static_cast<const WORD*>(data);
    words_.insert(words_.end(), from, from + bytes / sizeof(WORD));
  }
  void Word(WORD value) { words_.push_back(value); }
  void Text(const wchar_t* text) {
    for (; *text != 0; ++text) words_.push_back(static_cast<WORD>(*text));
    words_.push_back(0);
  }
  void Align() {
    if (words_.size() % 2 != 0) words_.push_back(0);
  }
  std::vector<WORD> words_;
};

std::wstring Wide(const std::string& text) {
  const std::u16string wide = tavolex::ToUtf16(text);
  return {wide.begin(), wide.end()};
}

std::string TextOf(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return tavolex::ToUtf8(std::u16string(text.begin(), text.end()));
}

INT_PTR CALLBACK LoginProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* login = reinterpret_cast<Login*>(lparam);
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      SetDlgItemTextW(dialog, kUserEdit, Wide(login->user).c_str());
      SetFocus(GetDlgItem(dialog, login->user.empty() ? kUserEdit : kPasswordEdit));
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        auto* login = reinterpret_cast<Login*>(GetWindowLongPtrW(dialog, DWLP_USER));
        login->user = TextOf(dialog, kUserEdit);
        login->password = TextOf(dialog, kPasswordEdit);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool AskForLogin(HWND owner, Login& login) {
  Template dialog(L"Вход на сервер приложений", 200, 82, 6);
  dialog.Item(kStaticClass, 0xFFFF, SS_LEFT, 8, 10, 60, 10, L"Пользователь:");
  dialog.Item(kEditClass, kUserEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 70, 8, 122, 13, L"");
  dialog.Item(kStaticClass, 0xFFFF, SS_LEFT, 8, 30, 60, 10, L"Пароль:");
  dialog.Item(kEditClass, kPasswordEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 70,
              28, 122, 13, L"");
  dialog.Item(kButtonClass, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 86, 58, 50, 15, L"Войти");
  dialog.Item(kButtonClass, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 142, 58, 50, 15, L"Отмена");
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner,
                                                 LoginProc, reinterpret_cast<LPARAM>(&login));
  return result == IDOK;
}

}  // namespace tvx::host
