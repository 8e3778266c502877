// The date field's window under Windows, driven through window handles with the messages an
// operator's typing, keys and clicks produce: the blanks fill as the model decides, the caret
// stands where the model has it, Alt+Down and the button drop down the system's month
// calendar in a popup that leaves the focus in the field, a day clicked or picked with Enter
// goes into the field, Escape closes without change, and leaving an invalid text keeps the
// focus after one error box.
#include "ui/win32/peers/date_edit_peer.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "native_form_fixture.h"
#include "native_input.h"
#include "ui/controls/button.h"
#include "ui/controls/date_edit.h"
#include "ui/win32/peers/calendar_popup.h"

namespace tvx::test {
namespace {

class DateEditPeerTest : public NativeFormTest {
 protected:
  void SetUp() override {
    NativeFormTest::SetUp();
    first = Place<TJvDateEdit>("eFirst", 8, 8, 99, 21);
    second = Place<TJvDateEdit>("eSecond", 8, 40, 99, 21);
    button = Place<TButton>("btnGo", 8, 72, 75, 25);
    form->Show();
    Pump();
    field = HandleOf(first);
    ASSERT_NE(field, nullptr);
  }

  void FocusField(HWND window) {
    SetFocus(window);
    Pump();
  }

  // The open calendar's popup (visible), or null.
  static HWND OpenPopup() {
    for (HWND popup = FindWindowExW(nullptr, nullptr, win32::CalendarPopup::kClassName, nullptr);
         popup != nullptr;
         popup = FindWindowExW(nullptr, popup, win32::CalendarPopup::kClassName, nullptr)) {
      if (IsWindowVisible(popup)) return popup;
    }
    return nullptr;
  }

  static HWND CalendarOf(HWND popup) {
    return popup != nullptr ? FindWindowExW(popup, nullptr, MONTHCAL_CLASSW, nullptr) : nullptr;
  }

  static std::string Selected(HWND calendar) {
    SYSTEMTIME time{};
    if (SendMessageW(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&time)) == 0) return "?";
    char text[16];
    snprintf(text, sizeof(text), "%02u.%02u.%04u", time.wDay, time.wMonth, time.wYear);
    return text;
  }

  // A point of the calendar where the hit test finds what `match` accepts.
  template <class Match>
  static bool FindPoint(HWND calendar, Match match, POINT& point) {
    RECT client;
    GetClientRect(calendar, &client);
    for (int y = 1; y < client.bottom; y += 2) {
      for (int x = 1; x < client.right; x += 2) {
        MCHITTESTINFO hit{};
        hit.cbSize = MCHITTESTINFO_V1_SIZE;
        hit.pt = POINT{x, y};
        SendMessageW(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (match(hit)) {
          point = hit.pt;
          return true;
        }
      }
    }
    return false;
  }

  // Where the model's caret is drawn for a text position: the margin plus the text before it.
  int CaretX(size_t position) {
    const std::wstring text = win32::Wide(first->Text().substr(0, position));
    HDC dc = GetDC(field);
    const HGDIOBJ previous = SelectObject(dc, ui.Backend().Gdi().Font(*first->Font()));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(field, dc);
    return win32::DateEditPeer::kTextMargin + size.cx;
  }

  TJvDateEdit* first = nullptr;
  TJvDateEdit* second = nullptr;
  TButton* button = nullptr;
  HWND field = nullptr;

 public:
  // Ways of leaving the first field.
  void LeaveByTab() { PressKey(GetFocus(), kVkTab); }
  void LeaveBySettingTheFocus() {
    SetFocus(HandleOf(second));
    Pump();
  }
  void LeaveByClickingTheButton() { ClickAt(HandleOf(button), POINT{5, 5}); }
};

TEST_F(DateEditPeerTest, TypedDigitsFillTheBlanksAndTheWindowShowsTheText) {
  struct Case {
    const char* name;
    std::wstring typed;
    std::string want;
  };
  const Case cases[] = {
      {"day and month", L"3112", "31.12.    "},
      {"a whole date", L"31122012", "31.12.2012"},
      {"other characters are ignored", L"3a1-b2", "31.2 .    "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    first->SetText("");
    FocusField(field);
    ASSERT_EQ(GetFocus(), field);
    TypeText(field, c.typed);
    EXPECT_EQ(first->Text(), c.want);
    EXPECT_EQ(win32::Narrow(win32::WindowText(field)), c.want);
    // The caret is drawn where the model has it.
    POINT caret{};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, CaretX(first->Caret()));
  }
}

TEST_F(DateEditPeerTest, BackspaceBlanksAndAClickPlacesTheCaretBetweenCharacters) {
  first->SetDate(EncodeDate(2012, 3, 15));
  FocusField(field);
  PressKey(field, kVkEnd);
  PressKey(field, kVkBack);
  EXPECT_EQ(win32::Narrow(win32::WindowText(field)), "15.03.201 ");
  // A click just after "15." puts the caret there.
  RECT client;
  GetClientRect(field, &client);
  ClickAt(field, POINT{CaretX(3), client.bottom / 2});
  EXPECT_EQ(first->Caret(), 3u);
  POINT caret{};
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(caret.x, CaretX(3));
}

TEST_F(DateEditPeerTest, AltDownDropsTheCalendarOnTheFieldsDateAndKeepsTheFocusInTheField) {
  first->SetDate(EncodeDate(2012, 3, 15));
  FocusField(field);
  PressKey(field, kVkDown, kAlt);
  ASSERT_TRUE(first->DroppedDown());
  const HWND popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(Selected(CalendarOf(popup)), "15.03.2012");
  // Below the field, owned by its form, which stays active with the focus in the field.
  RECT field_rect, popup_rect;
  GetWindowRect(field, &field_rect);
  GetWindowRect(popup, &popup_rect);
  EXPECT_EQ(popup_rect.top, field_rect.bottom);
  EXPECT_EQ(popup_rect.left, field_rect.left);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), HandleOf(form));
  EXPECT_EQ(GetFocus(), field);
  EXPECT_EQ(GetActiveWindow(), HandleOf(form));
}

TEST_F(DateEditPeerTest, KeysMoveTheCalendarsDayAndEnterPicksIt) {
  first->SetDate(EncodeDate(2012, 3, 15));
  FocusField(field);
  PressKey(field, kVkDown, kAlt);
  PressKey(field, kVkRight);
  PressKey(field, kVkDown);
  EXPECT_EQ(Selected(CalendarOf(OpenPopup())), "23.03.2012");
  PressKey(field, kVkNext);
  EXPECT_EQ(Selected(CalendarOf(OpenPopup())), "23.04.2012");
  PressKey(field, kVkReturn);
  EXPECT_EQ(OpenPopup(), nullptr);
  EXPECT_FALSE(first->DroppedDown());
  EXPECT_EQ(win32::Narrow(win32::WindowText(field)), "23.04.2012");
  EXPECT_EQ(GetFocus(), field);
}

TEST_F(DateEditPeerTest, ADayClickedInTheCalendarGoesIntoTheField) {
  first->SetDate(EncodeDate(2012, 3, 15));
  FocusField(field);
  PressKey(field, kVkDown, kAlt);
  const HWND calendar = CalendarOf(OpenPopup());
  ASSERT_NE(calendar, nullptr);
  POINT day{};
  ASSERT_TRUE(FindPoint(
      calendar,
      [](const MCHITTESTINFO& hit) {
        return hit.uHit == MCHT_CALENDARDATE && hit.st.wYear == 2012 && hit.st.wMonth == 3 &&
               hit.st.wDay == 20;
      },
      day));
  ClickAt(calendar, day);
  EXPECT_EQ(OpenPopup(), nullptr);
  EXPECT_EQ(first->Text(), "20.03.2012");
  EXPECT_EQ(first->Date(), EncodeDate(2012, 3, 20));
  EXPECT_EQ(GetFocus(), field);
}

TEST_F(DateEditPeerTest, TheCalendarsMonthArrowMovesTheModelsMonth) {
  first->SetDate(EncodeDate(2012, 3, 15));
  FocusField(field);
  PressKey(field, kVkDown, kAlt);
  const HWND calendar = CalendarOf(OpenPopup());
  POINT next{};
  ASSERT_TRUE(FindPoint(
      calendar, [](const MCHITTESTINFO& hit) { return hit.uHit == MCHT_TITLEBTNNEXT; }, next));
  ClickAt(calendar, next);
  EXPECT_EQ(first->Calendar().Month(), 4);
  EXPECT_EQ(first->Calendar().Year(), 2012);
  PressKey(field, kVkReturn);
  EXPECT_EQ(first->Text(), "15.04.2012");
}

TEST_F(DateEditPeerTest, EscapeClosesTheCalendarWithoutChange) {
  first->SetDate(EncodeDate(2012, 3, 15));
  FocusField(field);
  PressKey(field, kVkDown, kAlt);
  PressKey(field, kVkRight);
  PressKey(field, kVkEscape);
  EXPECT_EQ(OpenPopup(), nullptr);
  EXPECT_FALSE(first->DroppedDown());
  EXPECT_EQ(first->Text(), "15.03.2012");
  EXPECT_EQ(GetFocus(), field);
  EXPECT_TRUE(form->Visible());
}

TEST_F(DateEditPeerTest, TheButtonOpensAndClosesTheCalendar) {
  SetFocus(HandleOf(second));
  Pump();
  RECT client;
  GetClientRect(field, &client);
  const POINT on_button{client.right - 5, client.bottom / 2};
  ClickAt(field, on_button);
  EXPECT_NE(OpenPopup(), nullptr);
  EXPECT_EQ(GetFocus(), field);
  // A blank field opens on today.
  EXPECT_EQ(first->Calendar().Selected(), Date());
  ClickAt(field, on_button);
  EXPECT_EQ(OpenPopup(), nullptr);
  EXPECT_TRUE(first->IsBlank());
}

TEST_F(DateEditPeerTest, LeavingAnInvalidTextKeepsTheFocusAfterOneErrorBox) {
  struct Case {
    const char* name;
    void (DateEditPeerTest::*leave)();
  };
  const Case cases[] = {
      {"Tab", &DateEditPeerTest::LeaveByTab},
      {"the focus set into the next field", &DateEditPeerTest::LeaveBySettingTheFocus},
      {"a click on a button", &DateEditPeerTest::LeaveByClickingTheButton},
  };
  int clicks = 0;
  button->OnClick().Bind(nullptr, [&](TObject*) { ++clicks; });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    first->SetText("");
    FocusField(field);
    TypeText(field, L"3113");
    ASSERT_EQ(first->Text(), "31.13.    ");
    BoxAnswerer answerer(L"Tavolex", IDOK);
    (this->*c.leave)();
    const auto& boxes = answerer.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"'31.13.    ' is not a valid date.");
    EXPECT_TRUE(FocusSettlesOn(field));
    EXPECT_EQ(form->ActiveControl(), first);
    EXPECT_EQ(first->Text(), "31.13.    ");
  }
  EXPECT_EQ(clicks, 0);
  // A valid text lets the focus go, completed.
  first->SetText("");
  FocusField(field);
  TypeText(field, L"010212");
  PressKey(field, kVkTab);
  EXPECT_EQ(GetFocus(), HandleOf(second));
  EXPECT_EQ(first->Text(), "01.02.2012");
  // A field that lets the focus go lets the button click.
  ClickAt(HandleOf(button), POINT{5, 5});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetFocus(), HandleOf(button));
}

}  // namespace
}  // namespace tvx::test
