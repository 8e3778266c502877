// The parts of system controls that the peers paint themselves follow the visual style: the
// group box's frame, the date field's button and the grid's title cells are the theme's parts
// where a theme is active, and the classic ones once the window has none and has been told
// (WM_THEMECHANGED), or once its form has moved to a monitor of another resolution (WM_DPICHANGED:
// the theme data are opened again, and find the window's theme gone). The system's colour change,
// which Windows sends to top-level windows only, reaches the controls inside a form and the
// calendar inside its popup.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "grid_peer_fixture.h"
#include "native_form_fixture.h"
#include "native_input.h"
#include "support/options_dialog_layout.h"
#include "ui/controls/date_edit.h"
#include "ui/controls/group_box.h"
#include "ui/win32/backend/gdi_cache.h"
#include "ui/win32/peers/calendar_popup.h"

// After windows.h, which the fixtures bring.
#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

namespace tvx::test {
namespace {

// One painted part: where it lies in its window's client area, the theme's part that it must
// be, and the classic drawing that it must be without a theme.
struct Part {
  std::string what;
  HWND window;
  const wchar_t* theme_class;
  int part, state;
  RECT frame;     // where the part is drawn
  RECT compared;  // the pixels compared (the part without text drawn over it)
  COLORREF background;
  std::function<void(HDC, RECT)> classic;
};

// How the window learns that what it drew with has changed.
enum class Told {
  kThemeChanged,       // WM_THEMECHANGED to the window itself
  kResolutionChanged,  // WM_DPICHANGED to its form, as the system sends it (to the form only)
};

void Tell(HWND window, Told told) {
  if (told == Told::kThemeChanged) {
    SendMessageW(window, WM_THEMECHANGED, 0, 0);
    return;
  }
  // At the resolution the fixtures' forms are laid out at: nothing moves, only the theme data
  // are opened anew.
  HWND form = GetAncestor(window, GA_ROOT);
  constexpr int ppi = 96;
  RECT suggested;
  GetWindowRect(form, &suggested);
  SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(ppi, ppi), reinterpret_cast<LPARAM>(&suggested));
}

LRESULT CALLBACK KeepThemeChangeAway(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR, DWORD_PTR) {
  return message == WM_THEMECHANGED ? 0 : DefSubclassProc(window, message, wparam, lparam);
}

// The part as the window paints it: the theme's, then (its theme taken away) the classic one
// once the window has been told.
void ExpectThemedThenClassic(const Part& part, Told told = Told::kThemeChanged) {
  SCOPED_TRACE(part.what);
  HTHEME theme = OpenThemeData(part.window, part.theme_class);
  if (theme == nullptr) GTEST_SKIP() << "no visual style is active";
  RECT client;
  GetClientRect(part.window, &client);
  const SIZE size{client.right, client.bottom};
  const Picture themed(size, part.background, [&](HDC dc) {
    DrawThemeBackground(theme, dc, part.part, part.state, &part.frame, nullptr);
  });
  CloseThemeData(theme);
  const Picture classic(size, part.background, [&](HDC dc) { part.classic(dc, part.frame); });
  ASSERT_GT(Differences(themed, classic, part.compared), 0) << "the theme's part looks classic";

  EXPECT_EQ(Differences(Picture(part.window), themed, part.compared), 0);
  if (told == Told::kResolutionChanged) {
    // The window does not hear of its theme's going (SetWindowTheme tells it): the theme data
    // it holds stay the old ones until the change of resolution has it open them again.
    SetWindowSubclass(part.window, KeepThemeChangeAway, 1, 0);
    SetWindowTheme(part.window, L" ", L" ");
    RemoveWindowSubclass(part.window, KeepThemeChangeAway, 1);
    EXPECT_EQ(Differences(Picture(part.window), themed, part.compared), 0)
        << "drawn anew without being told";
  } else {
    SetWindowTheme(part.window, L" ", L" ");  // no visual style for this window
  }
  Tell(part.window, told);
  EXPECT_EQ(Differences(Picture(part.window), classic, part.compared), 0);
}

class VisualStyleTest : public NativeFormTest {
 protected:
  void SetUp() override {
    NativeFormTest::SetUp();
    // The group box and a date field of the options dialog, of the sizes it gives them.
    box = PlaceDesigned<TGroupBox>("GroupBox1", 8, 8);
    box->SetCaption("Экспортировать данные");
    field = PlaceDesigned<TJvDateEdit>("eExportFrom", 8, 80);
    form->Show();
    Pump();
  }

  // A control of the options dialog at (left, top) of the form, of the size the dialog gives it.
  template <class T>
  T* PlaceDesigned(const char* name, int left, int top) {
    const TBounds design = OptionsDialogControl(name).bounds;
    return Place<T>(name, left, top, design.width, design.height);
  }

  // The date field's button, where it lies in the field.
  Part DateFieldButton() {
    HWND window = HandleOf(field);
    RECT client;
    GetClientRect(window, &client);
    const int border = 2;
    const RECT button{std::max(border, static_cast<int>(field->ButtonRect().left)), border,
                      client.right - border, client.bottom - border};
    return {"date field's button",
            window,
            L"COMBOBOX",
            CP_DROPDOWNBUTTON,
            CBXS_NORMAL,
            button,
            button,
            win32::ColorRef(field->Color()),
            [](HDC dc, RECT r) { DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX); }};
  }

  TGroupBox* box = nullptr;
  TJvDateEdit* field = nullptr;
};

TEST_F(VisualStyleTest, TheGroupBoxsFrameIsTheThemesAndClassicWithoutOne) {
  HWND window = HandleOf(box);
  RECT client;
  GetClientRect(window, &client);
  // The frame's top runs through the caption; its sides and bottom have nothing drawn over.
  const RECT frame{0, client.bottom / 4, client.right, client.bottom};
  ExpectThemedThenClassic({"group box", window, L"BUTTON", BP_GROUPBOX, GBS_NORMAL, frame,
                           RECT{0, client.bottom / 2, client.right, client.bottom},
                           win32::ColorRef(box->Color()),
                           [](HDC dc, RECT r) { DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT); }});
}

TEST_F(VisualStyleTest, TheDateFieldsButtonIsTheThemesAndClassicWithoutOne) {
  ExpectThemedThenClassic(DateFieldButton());
}

TEST_F(VisualStyleTest, TheDateFieldOpensItsThemeAgainWhenTheResolutionChanges) {
  ExpectThemedThenClassic(DateFieldButton(), Told::kResolutionChanged);
}

// Counts the messages of one kind that a window receives.
struct Counter {
  UINT message;
  int count = 0;

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                               DWORD_PTR data) {
    auto* self = reinterpret_cast<Counter*>(data);
    if (message == self->message) ++self->count;
    return DefSubclassProc(window, message, wparam, lparam);
  }
  void Watch(HWND window) { SetWindowSubclass(window, Proc, 1, reinterpret_cast<DWORD_PTR>(this)); }
  static void Unwatch(HWND window) { RemoveWindowSubclass(window, Proc, 1); }
};

TEST_F(VisualStyleTest, TheColourChangeReachesTheControlsInsideAFormAndTheCalendar) {
  // The calendar is open: its popup is a top-level window of its own.
  SetFocus(HandleOf(field));
  Pump();
  PressKey(HandleOf(field), kVkDown, kAlt);
  Pump();
  HWND popup = nullptr;
  for (HWND w = FindWindowExW(nullptr, nullptr, win32::CalendarPopup::kClassName, nullptr);
       w != nullptr; w = FindWindowExW(nullptr, w, win32::CalendarPopup::kClassName, nullptr)) {
    if (IsWindowVisible(w)) popup = w;
  }
  ASSERT_NE(popup, nullptr);
  HWND calendar = FindWindowExW(popup, nullptr, MONTHCAL_CLASSW, nullptr);
  ASSERT_NE(calendar, nullptr);

  Counter in_box{WM_SYSCOLORCHANGE}, in_field{WM_SYSCOLORCHANGE}, in_calendar{WM_SYSCOLORCHANGE};
  in_box.Watch(HandleOf(box));
  in_field.Watch(HandleOf(field));
  in_calendar.Watch(calendar);
  // As the system does: to the top-level windows only.
  SendMessageW(HandleOf(form), WM_SYSCOLORCHANGE, 0, 0);
  SendMessageW(popup, WM_SYSCOLORCHANGE, 0, 0);
  Counter::Unwatch(HandleOf(box));
  Counter::Unwatch(HandleOf(field));
  Counter::Unwatch(calendar);
  EXPECT_EQ(in_box.count, 1);
  EXPECT_EQ(in_field.count, 1);
  EXPECT_EQ(in_calendar.count, 1);
  PressKey(HandleOf(field), kVkEscape);
  Pump();
}

class GridVisualStyleTest : public GridWindowTest {
 protected:
  Part TitleCell() {
    Show(3);
    const TRect cell = grid->CellRect(-1, 0);
    const RECT title{cell.left, cell.top, cell.right, cell.bottom};
    // The text starts two pixels in: the cell's first column and row are free of it.
    return {"grid's title cell",
            grid_window,
            L"HEADER",
            HP_HEADERITEM,
            HIS_NORMAL,
            title,
            RECT{title.left, title.top, title.left + 2, title.bottom - 1},
            win32::ColorRef(grid->Color()),
            [](HDC dc, RECT r) {
              SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
              ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
              DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
            }};
  }
};

TEST_F(GridVisualStyleTest, TheTitleCellsAreTheThemesHeaderItemsAndClassicWithoutOne) {
  ExpectThemedThenClassic(TitleCell());
}

TEST_F(GridVisualStyleTest, TheGridOpensItsThemeAgainWhenTheResolutionChanges) {
  ExpectThemedThenClassic(TitleCell(), Told::kResolutionChanged);
}

}  // namespace
}  // namespace tvx::test
