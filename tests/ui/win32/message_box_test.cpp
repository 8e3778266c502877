// Message boxes on real windows: found by their title, with the text, icon and buttons the
// control layer asks for, owned by the application's window, centred on the screen, and the
// answer the operator gives. The buttons read "OK" and "Cancel" whatever the language of
// Windows: the program runs once more in the Russian locale, whose boxes would say otherwise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "probe_form.h"
#include "ui/core/message_dialogs.h"
#include "win32_fixture.h"

namespace tvx::test {
namespace {

using MessageBoxTest = Win32Test;

HICON SystemIcon(LPCSTR id) { return LoadIconA(nullptr, id); }

TEST_F(MessageBoxTest, BoxesShowTheirKindAndGiveTheAnswerOfTheButtonChosen) {
  struct Case {
    const char* what;
    TMsgDlgType kind;
    TMsgDlgButtons buttons;
    const wchar_t* title;
    LPCSTR icon;
    std::vector<int> present;
    int press;  // a button, or 0 for the close box
    TModalResult result;
  };
  const std::vector<Case> cases = {
      {"error", TMsgDlgType::mtError, {mbOK}, L"Error", IDI_ERROR, {IDOK}, IDOK, mrOk},
      {"information",
       TMsgDlgType::mtInformation,
       {mbOK},
       L"Information",
       IDI_INFORMATION,
       {IDOK},
       IDOK,
       mrOk},
      {"information closed",
       TMsgDlgType::mtInformation,
       {mbOK},
       L"Information",
       IDI_INFORMATION,
       {IDOK},
       0,
       mrOk},
      {"confirmation, OK",
       TMsgDlgType::mtConfirmation,
       {mbOK, mbCancel},
       L"Confirm",
       IDI_QUESTION,
       {IDOK, IDCANCEL},
       IDOK,
       mrOk},
      {"confirmation, Cancel",
       TMsgDlgType::mtConfirmation,
       {mbOK, mbCancel},
       L"Confirm",
       IDI_QUESTION,
       {IDOK, IDCANCEL},
       IDCANCEL,
       mrCancel},
      {"confirmation closed",
       TMsgDlgType::mtConfirmation,
       {mbOK, mbCancel},
       L"Confirm",
       IDI_QUESTION,
       {IDOK, IDCANCEL},
       0,
       mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text;
    HWND box = nullptr;
    bool owner_enabled = true;
    script.When(
        [&] { return FindThreadWindow(c.title) != nullptr; },
        [&] {
          box = FindThreadWindow(c.title);
          text = BoxText(box);
          owner_enabled = IsWindowEnabled(owner) != FALSE;
          EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
          for (int id : c.present) {
            EXPECT_NE(GetDlgItem(box, id), nullptr) << id;
            EXPECT_EQ(win32::WindowText(GetDlgItem(box, id)), id == IDOK ? L"OK" : L"Cancel");
          }
          EXPECT_EQ(GetDlgItem(box, IDYES), nullptr);
          bool icon_found = false;
          for (HWND child = GetWindow(box, GW_CHILD); child;
               child = GetWindow(child, GW_HWNDNEXT)) {
            icon_found |= reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)) ==
                          SystemIcon(c.icon);
          }
          EXPECT_TRUE(icon_found);
          RECT area;
          SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
          const Place place = PlaceOf(box);
          EXPECT_LE(std::abs((place.left - area.left) - (area.right - place.left - place.width)),
                    1);
          EXPECT_LE(std::abs((place.top - area.top) - (area.bottom - place.top - place.height)), 1);
          if (c.press != 0) {
            AnswerBox(box, c.press);
          } else {
            PostMessageW(box, WM_CLOSE, 0, 0);
          }
        });
    EXPECT_EQ(MessageDlg("Проверка связи", c.kind, c.buttons), c.result);
    EXPECT_EQ(text, "Проверка связи");
    EXPECT_FALSE(owner_enabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindow(box));
  }
}

TEST_F(MessageBoxTest, ABoxOverAModalFormKeepsTheFormDisabledAndGivesItTheActivationBack) {
  auto form = CreateOwned<TProbeForm>(nullptr);
  TModalResult answer = mrNone;
  bool form_enabled_under_box = true;
  form->on_run = [&](TProbeForm&) {
    answer = MessageDlg("Sure?", TMsgDlgType::mtConfirmation, TMsgDlgButtons{mbOK, mbCancel});
  };
  script.Then([&] { ClickButton(WindowOf(form->run)); })
      .When([] { return FindThreadWindow(L"Confirm") != nullptr; },
            [&] {
              form_enabled_under_box = IsWindowEnabled(WindowOf(form.get())) != FALSE;
              AnswerBox(FindThreadWindow(L"Confirm"), IDCANCEL);
            })
      .Then([&] {
        EXPECT_TRUE(IsWindowEnabled(WindowOf(form.get())));
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the form is still modal";
        EXPECT_EQ(GetActiveWindow(), WindowOf(form.get()));
        EXPECT_EQ(GetFocus(), WindowOf(form->run));
        ClickButton(WindowOf(form->cancel));
      });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(answer, mrCancel);
  EXPECT_FALSE(form_enabled_under_box);
}

TEST_F(MessageBoxTest, WithoutAnApplicationWindowTheBoxAndTheFormsHaveNoOwner) {
  SetApplication(nullptr);  // the module's own application object: no window
  HWND box_owner = owner;
  script.When([] { return FindThreadWindow(L"Information") != nullptr; },
              [&] {
                HWND box = FindThreadWindow(L"Information");
                box_owner = GetWindow(box, GW_OWNER);
                AnswerBox(box, IDOK);
              });
  MessageDlg("Done", TMsgDlgType::mtInformation, TMsgDlgButtons{mbOK});
  EXPECT_EQ(box_owner, nullptr);

  auto form = CreateOwned<TProbeForm>(nullptr);
  HWND form_owner = owner;
  script.Then([&] {
    form_owner = GetWindow(WindowOf(form.get()), GW_OWNER);
    ClickButton(WindowOf(form->cancel));
  });
  form->ShowModal();
  EXPECT_EQ(form_owner, nullptr);
  SetApplication(application);
}

}  // namespace
}  // namespace tvx::test
