// The modal loop on real windows: what ends it, the owner and the other windows of the thread
// kept disabled meanwhile and enabled (and active) again after, exceptions that leave a
// handler, and the deferred release of a form.
#include <gtest/gtest.h>

#include "probe_form.h"
#include "rtl/exceptions.h"
#include "win32_fixture.h"

namespace tvx::test {
namespace {

using ModalLoopTest = Win32Test;

TEST_F(ModalLoopTest, EndsWithTheResultOfAButtonTheCloseBoxOrTermination) {
  struct Case {
    const char* what;
    std::function<void(TProbeForm&)> act;
    TModalResult result;
  };
  const std::vector<Case> cases = {
      {"button with a modal result", [](TProbeForm& f) { ClickButton(WindowOf(f.cancel)); },
       mrCancel},
      {"handler that sets the result",
       [](TProbeForm& f) {
         f.on_run = [](TProbeForm& form) { form.SetModalResult(mrOk); };
         ClickButton(WindowOf(f.run));
       },
       mrOk},
      {"close box (WM_CLOSE)", [](TProbeForm& f) { PostMessageW(WindowOf(&f), WM_CLOSE, 0, 0); },
       mrCancel},
      {"Alt+F4", [](TProbeForm& f) { PostMessageW(WindowOf(&f), WM_SYSCOMMAND, SC_CLOSE, 0); },
       mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto form = CreateOwned<TProbeForm>(nullptr);
    HWND window = nullptr;
    bool owner_enabled_meanwhile = true;
    script.Then([&] {
      window = WindowOf(form.get());
      owner_enabled_meanwhile = IsWindowEnabled(owner) != FALSE;
      c.act(*form);
    });
    EXPECT_EQ(form->ShowModal(), c.result);
    EXPECT_FALSE(owner_enabled_meanwhile);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner) << "the activation goes back to the owner";
    EXPECT_FALSE(IsWindow(window)) << "the window goes with the modal loop";
    EXPECT_EQ(form->Handle(), 0u);
  }
}

TEST_F(ModalLoopTest, ATerminatingApplicationEndsTheLoopWithCancel) {
  auto form = CreateOwned<TProbeForm>(nullptr);
  script.Then([&] { application->Terminate(); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(ModalLoopTest, AQuitMessageEndsTheLoopAndIsPostedAgainForTheOuterLoop) {
  auto form = CreateOwned<TProbeForm>(nullptr);
  script.Then([] { PostQuitMessage(7); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_TRUE(application->Terminated());
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(ModalLoopTest, OtherWindowsOfTheThreadTakeNoInputWhileAFormIsModal) {
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED | WS_VISIBLE, 400, 20, 100, 50,
                               nullptr, nullptr, nullptr, nullptr);
  HWND hidden = CreateWindowExW(0, L"STATIC", L"hidden", WS_OVERLAPPED, 400, 100, 100, 50, nullptr,
                                nullptr, nullptr, nullptr);
  auto outer = CreateOwned<TProbeForm>(nullptr);
  auto inner = CreateOwned<TProbeForm>(nullptr);
  struct Seen {
    bool owner, other, hidden, outer;
  };
  Seen in_outer{}, in_inner{}, back_in_outer{};
  outer->on_run = [&](TProbeForm&) {
    script.Then([&] {
      in_inner = {IsWindowEnabled(owner) != 0, IsWindowEnabled(other) != 0,
                  IsWindowEnabled(hidden) != 0, IsWindowEnabled(WindowOf(outer.get())) != 0};
      ClickButton(WindowOf(inner->cancel));
    });
    inner->ShowModal();
    script.Then([&] {
      back_in_outer = {IsWindowEnabled(owner) != 0, IsWindowEnabled(other) != 0,
                       IsWindowEnabled(hidden) != 0, IsWindowEnabled(WindowOf(outer.get())) != 0};
      EXPECT_EQ(GetActiveWindow(), WindowOf(outer.get()));
      EXPECT_EQ(GetFocus(), WindowOf(outer->run)) << "the focus is where it was";
      ClickButton(WindowOf(outer->cancel));
    });
  };
  script.Then([&] {
    in_outer = {IsWindowEnabled(owner) != 0, IsWindowEnabled(other) != 0,
                IsWindowEnabled(hidden) != 0, IsWindowEnabled(WindowOf(outer.get())) != 0};
    ClickButton(WindowOf(outer->run));
  });
  EXPECT_EQ(outer->ShowModal(), mrCancel);
  EXPECT_FALSE(in_outer.owner);
  EXPECT_FALSE(in_outer.other);
  EXPECT_TRUE(in_outer.hidden) << "left as it was: not visible, but enabled";
  EXPECT_TRUE(in_outer.outer);
  EXPECT_FALSE(in_inner.outer);
  EXPECT_FALSE(in_inner.owner);
  EXPECT_TRUE(back_in_outer.outer);
  EXPECT_FALSE(back_in_outer.owner);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_TRUE(IsWindowEnabled(hidden));
  DestroyWindow(other);
  DestroyWindow(hidden);
}

TEST_F(ModalLoopTest, AnErrorLeavingAHandlerIsReportedAndTheFormStaysUsable) {
  auto form = CreateOwned<TProbeForm>(nullptr);
  int runs = 0;
  form->on_run = [&](TProbeForm&) {
    ++runs;
    throw EInvalidOperation("Something went wrong");
  };
  std::string box_text;
  bool form_enabled_under_box = true;
  bool form_enabled_after = false;
  script.Then([&] { ClickButton(WindowOf(form->run)); })
      .When([] { return FindThreadWindow(L"Tavolex test") != nullptr; },
            [&] {
              HWND box = FindThreadWindow(L"Tavolex test");
              box_text = BoxText(box);
              form_enabled_under_box = IsWindowEnabled(WindowOf(form.get())) != FALSE;
              AnswerBox(box, IDOK);
            })
      .Then([&] {
        form_enabled_after = IsWindowEnabled(WindowOf(form.get())) != FALSE;
        ClickButton(WindowOf(form->cancel));
      });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(box_text, "Something went wrong.");
  EXPECT_FALSE(form_enabled_under_box);
  EXPECT_TRUE(form_enabled_after);
}

TEST_F(ModalLoopTest, AnExceptionThatIsNoErrorLeavesTheLoopInsteadOfCrossingTheWindowProcedure) {
  auto form = CreateOwned<TProbeForm>(nullptr);
  form->on_run = [](TProbeForm&) { throw 42; };
  HWND window = nullptr;
  script.Then([&] {
    window = WindowOf(form.get());
    ClickButton(WindowOf(form->run));
  });
  EXPECT_THROW(form->ShowModal(), int);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(ModalLoopTest, AReleasedFormIsFreedByAPostedMessage) {
  TProbeForm::destroyed = 0;
  TProbeForm* form = Create<TProbeForm>(nullptr);
  form->on_run = [](TProbeForm& f) {
    f.Release();
    f.SetModalResult(mrOk);
  };
  script.Then([&] { ClickButton(WindowOf(form->run)); });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(TProbeForm::destroyed, 0) << "freed once the loop handles the posted message";
  ui.Backend().ProcessMessages();
  EXPECT_EQ(TProbeForm::destroyed, 1);
}

}  // namespace
}  // namespace tvx::test
