#include "template_dialog.h"

#include <commctrl.h>

#include <string>

namespace tvx::bench {

namespace {

// The export dialog's controls in client pixels at 96 pixels per inch, converted to dialog
// units of Tahoma 8 (about 6 by 13 pixels a character: 4 units across, 8 down).
struct Control {
  const wchar_t* window_class;
  DWORD style;
  const wchar_t* text;
  int left, top, width, height;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const Control kControls[] = {
    {L"Button", kChild | WS_TABSTOP | BS_AUTORADIOBUTTON, L"Экспортировать все данные", 8, 8, 300,
     17},
    {L"Button", kChild | WS_TABSTOP | BS_AUTORADIOBUTTON, L"Экспортировать только изменения", 8, 32,
     300, 17},
    {L"Static", kChild | SS_ETCHEDFRAME, L"", 8, 56, 321, 145},
    {L"Static", kChild, L"Дата предыдущего экспорта:", 24, 64, 154, 13},
    {L"Static", kChild, L"10.12.2026", 184, 64, 93, 13},
    {L"Static", kChild, L"Экспортировались данные с 01.12.2026 по 10.12.2026", 24, 83, 278, 13},
    {L"Button", kChild | WS_TABSTOP | BS_PUSHBUTTON, L"Показать историю экспорта", 72, 168, 187,
     25},
    {L"Button", kChild | BS_GROUPBOX, L"Экспортировать данные", 24, 104, 297, 57},
    {L"Static", kChild, L"с: ", 48, 128, 12, 13},
    {DATETIMEPICK_CLASSW, kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, L"", 62, 125, 99, 21},
    {L"Static", kChild, L"по:", 176, 128, 16, 13},
    {DATETIMEPICK_CLASSW, kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, L"", 200, 124, 105, 21},
    {L"Static", kChild, L"", 0, 212, 340, 41},
    {L"Static", kChild | SS_ETCHEDHORZ, L"", 0, 212, 340, 4},
    {L"Button", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, L"ОК", 179, 220, 75, 25},
    {L"Button", kChild | WS_TABSTOP | BS_PUSHBUTTON, L"Отказаться", 259, 220, 75, 25},
};

short UnitsAcross(int pixels) { return static_cast<short>(pixels * 4 / 6); }
short UnitsDown(int pixels) { return static_cast<short>(pixels * 8 / 13); }

class Writer {
 public:
  void Word(WORD value) { words_.push_back(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Text(const wchar_t* text) {
    for (const wchar_t* c = text; *c != 0; ++c) Word(static_cast<WORD>(*c));
    Word(0);
  }
  void AlignToDword() {
    if (words_.size() % 2 != 0) Word(0);
  }
  std::vector<WORD> Take() { return std::move(words_); }

 private:
  std::vector<WORD> words_;
};

}  // namespace

std::vector<WORD> ExportDialogTemplate() {
  Writer out;
  out.Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
  out.Dword(0);  // extended style
  out.Word(static_cast<WORD>(sizeof kControls / sizeof kControls[0]));
  out.Word(0);
  out.Word(0);
  out.Word(static_cast<WORD>(UnitsAcross(340)));
  out.Word(static_cast<WORD>(UnitsDown(253)));
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(L"Экспорт данных (шаблон)");
  out.Word(8);
  out.Text(L"Tahoma");
  WORD id = 100;
  for (const Control& control : kControls) {
    out.AlignToDword();
    out.Dword(control.style);
    out.Dword(0);
    out.Word(static_cast<WORD>(UnitsAcross(control.left)));
    out.Word(static_cast<WORD>(UnitsDown(control.top)));
    out.Word(static_cast<WORD>(UnitsAcross(control.width)));
    out.Word(static_cast<WORD>(UnitsDown(control.height)));
    const bool ok = std::wstring(control.text) == L"ОК";
    out.Word(ok ? static_cast<WORD>(IDOK) : id++);
    out.Text(control.window_class);
    out.Text(control.text);
    out.Word(0);  // no creation data
  }
  return out.Take();
}

}  // namespace tvx::bench
