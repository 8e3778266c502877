// Modal showing: how the loop ends and with which result, nested modal forms, the owner of
// windows, and the deferred release of forms.
#include <gtest/gtest.h>

#include "rtl/exceptions.h"
#include "test_form.h"
#include "ui/core/message_dialogs.h"
#include "ui_fixture.h"

namespace tvx::test {
namespace {

using ModalTest = UiTest;

TEST_F(ModalTest, TheLoopEndsWithTheResultThatTheUserGives) {
  struct Case {
    const char* what;
    std::function<void(headless::HeadlessDriver&, TTestForm&)> act;
    TModalResult result;
  };
  const std::vector<Case> cases = {
      {"button with a modal result", [](auto& ui, auto&) { ui.Click("btnCancel"); }, mrCancel},
      {"close box", [](auto& ui, auto&) { ui.CloseBox(); }, mrCancel},
      {"handler that sets the result",
       [](auto& ui, TTestForm& f) {
         f.on_ok = [](TTestForm& form) { form.SetModalResult(mrOk); };
         ui.Click("btnOK");
       },
       mrOk},
      {"Escape with a cancel button",
       [](auto& ui, TTestForm& f) {
         f.btnCancel->SetCancel(true);
         ui.Press(kVkEscape);
       },
       mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto form = CreateOwned<TTestForm>(nullptr);
    ui.WhenModal([&](TCustomForm& modal) {
      EXPECT_EQ(&modal, form.get());
      EXPECT_TRUE(form->Modal());
      c.act(ui, *form);
    });
    EXPECT_EQ(form->ShowModal(), c.result);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->Modal());
    EXPECT_EQ(form->Peer(), nullptr);
  }
}

TEST_F(ModalTest, ClicksThatLeaveNoResultKeepTheFormOpen) {
  auto form = CreateOwned<TTestForm>(nullptr);
  int steps = 0;
  ui.WhenModal([&](TCustomForm&) {
    ++steps;
    ui.Click("btnOK");  // no modal result of its own, no handler hook
  });
  ui.WhenModal([&](TCustomForm&) {
    ++steps;
    ui.Click("rbAll");
  });
  ui.WhenModal([&](TCustomForm&) {
    ++steps;
    ui.Click("btnCancel");
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(steps, 3);
}

TEST_F(ModalTest, TheHandlerThatSetsTheResultRunsToItsEndFirst) {
  auto form = CreateOwned<TTestForm>(nullptr);
  form->on_ok = [](TTestForm& f) {
    f.SetModalResult(mrOk);
    MessageDlg("Done!", TMsgDlgType::mtInformation, {mbOK});
    EXPECT_TRUE(f.Visible());
  };
  ui.AnswerBox(mrOk);
  ui.WhenModal([&](TCustomForm&) { ui.Click("btnOK"); });
  EXPECT_EQ(form->ShowModal(), mrOk);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].title, "Information");
}

TEST_F(ModalTest, ATerminatingApplicationEndsTheLoopWithCancel) {
  TOwned<TApplication> host = CreateOwned<TApplication>(nullptr);
  SetApplication(host.get());
  auto form = CreateOwned<TTestForm>(nullptr);
  ui.WhenModal([&](TCustomForm&) { host->Terminate(); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  // Once terminating, a modal form ends at once, without waiting for input.
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(ui.Backend().PendingSteps(), 0u);
  SetApplication(nullptr);
}

TEST_F(ModalTest, NestedModalFormsAreDrivenStepByStep) {
  auto outer = CreateOwned<TTestForm>(nullptr);
  TModalResult inner_result = mrNone;
  outer->on_history = [&](TTestForm&) {
    auto inner = CreateOwned<TForm>(nullptr, kCreateNew);
    inner->SetName("Inner");
    auto* close = Create<TButton>(inner.get());
    close->SetName("btnClose");
    close->SetParent(inner.get());
    close->SetModalResult(mrOk);
    inner_result = inner->ShowModal();
  };
  std::vector<std::string> seen;
  ui.WhenModal([&](TCustomForm& f) {
    seen.push_back(f.Name());
    ui.Click("btnHistory");
  });
  ui.WhenModal([&](TCustomForm& f) {
    seen.push_back(f.Name());
    EXPECT_FALSE(ui.TryClick(*outer->btnCancel));  // the outer form takes no input now
    ui.Click("btnClose");
  });
  ui.WhenModal([&](TCustomForm& f) {
    seen.push_back(f.Name());
    EXPECT_EQ(ui.Focused(), outer->btnHistory);
    ui.CloseBox();
  });
  EXPECT_EQ(outer->ShowModal(), mrCancel);
  EXPECT_EQ(inner_result, mrOk);
  EXPECT_EQ(seen, (std::vector<std::string>{"TestForm", "Inner", "TestForm"}));
}

TEST_F(ModalTest, AModalLoopWithNothingScriptedFailsInsteadOfWaiting) {
  std::vector<std::string> reported;
  ui.SetFailureReporter([&](const std::string& message) { reported.push_back(message); });
  auto form = CreateOwned<TTestForm>(nullptr);
  EXPECT_THROW(form->ShowModal(), headless::HeadlessFailure);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_NE(reported[0].find("TestForm"), std::string::npos);
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(form->Modal());
}

TEST_F(ModalTest, AnUnansweredBoxFailsInsteadOfWaiting) {
  std::vector<std::string> reported;
  ui.SetFailureReporter([&](const std::string& message) { reported.push_back(message); });
  EXPECT_THROW(MessageDlg("Sure?", TMsgDlgType::mtConfirmation, {mbOK, mbCancel}),
               headless::HeadlessFailure);
  ui.AnswerBox(mrYes);
  EXPECT_THROW(MessageDlg("Sure?", TMsgDlgType::mtConfirmation, {mbOK, mbCancel}),
               headless::HeadlessFailure);
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_NE(reported[0].find("Sure?"), std::string::npos);
  EXPECT_NE(reported[1].find("no button"), std::string::npos);
}

TEST_F(ModalTest, ShowingAShownFormModallyFails) {
  auto form = CreateOwned<TTestForm>(nullptr);
  form->Show();
  EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

TEST_F(ModalTest, WindowsAndBoxesAreOwnedByTheCurrentApplicationsWindow) {
  auto form = CreateOwned<TTestForm>(nullptr);
  ui.AnswerBox(mrOk);
  ui.AnswerBox(mrCancel);
  ui.WhenModal([&](TCustomForm&) { ui.CloseBox(); });

  EXPECT_EQ(MessageDlg("own", TMsgDlgType::mtInformation, {mbOK}), mrOk);
  TOwned<TApplication> host = CreateOwned<TApplication>(nullptr);
  host->SetHandle(0x1234);
  TApplication* saved = SetApplication(host.get());
  EXPECT_EQ(saved, ModuleApplication());
  EXPECT_EQ(MessageDlg("Delete record?", TMsgDlgType::mtConfirmation, {mbOK, mbCancel}), mrCancel);
  form->ShowModal();
  SetApplication(saved);
  EXPECT_EQ(Application(), ModuleApplication());

  ASSERT_EQ(ui.Boxes().size(), 2u);
  EXPECT_EQ(ui.Boxes()[0].owner, 0u);
  EXPECT_EQ(ui.Boxes()[1].owner, 0x1234u);
  EXPECT_EQ(ui.Boxes()[1].title, "Confirm");
  EXPECT_EQ(ui.Boxes()[1].kind, TMsgDlgType::mtConfirmation);
  EXPECT_EQ(ui.Boxes()[1].buttons, (TMsgDlgButtons{mbOK, mbCancel}));
  ASSERT_EQ(ui.Backend().Windows().size(), 1u);
  EXPECT_EQ(ui.Backend().Windows()[0].owner, 0x1234u);
}

TEST_F(ModalTest, ScreenCentredFormsAreCentredInTheWorkArea) {
  auto form = CreateOwned<TTestForm>(nullptr);
  ui.Backend().SetWorkArea(TRect{0, 0, 1000, 800});
  form->Show();
  EXPECT_EQ(form->Left(), (1000 - form->Width()) / 2);
  EXPECT_EQ(form->Top(), (800 - form->Height()) / 2);
}

class ReleaseTest : public UiTest {
 protected:
  ReleaseTest() { TTestForm::destroyed = 0; }
};

TEST_F(ReleaseTest, AReleasedFormLivesUntilTheLoopNextHandlesMessages) {
  TTestForm* form = Create<TTestForm>(nullptr);
  ui.WhenModal([&](TCustomForm&) { ui.CloseBox(); });
  form->ShowModal();
  form->Release();
  EXPECT_EQ(TTestForm::destroyed, 0);
  EXPECT_EQ(form->Caption(), "Test form");  // still whole
  ui.ProcessMessages();
  EXPECT_EQ(TTestForm::destroyed, 1);
}

TEST_F(ReleaseTest, AFormReleasedFromItsOwnHandlerIsFreedAfterItsLoopEnds) {
  TTestForm* form = Create<TTestForm>(nullptr);
  form->on_ok = [](TTestForm& f) {
    f.Release();
    f.SetModalResult(mrOk);
  };
  ui.WhenModal([&](TCustomForm&) { ui.Click("btnOK"); });
  ui.WhenModal([&](TCustomForm&) { ADD_FAILURE() << "the form should have closed"; });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(TTestForm::destroyed, 0);
  ui.ProcessMessages();
  EXPECT_EQ(TTestForm::destroyed, 1);
}

TEST_F(ReleaseTest, AReleaseHandledWhileTheFormIsStillModalWaitsForTheLoopToEnd) {
  TTestForm* form = Create<TTestForm>(nullptr);
  form->on_ok = [](TTestForm& f) { f.Release(); };
  ui.WhenModal([&](TCustomForm&) { ui.Click("btnOK"); });
  // The posted release is handled here, inside the loop: the form must survive it.
  ui.WhenModal([&](TCustomForm&) {
    EXPECT_EQ(TTestForm::destroyed, 0);
    ui.Click("btnCancel");
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(TTestForm::destroyed, 0);
  ui.ProcessMessages();
  EXPECT_EQ(TTestForm::destroyed, 1);
}

TEST_F(ReleaseTest, AReleaseOfAFormFreedMeanwhileDoesNothing) {
  TTestForm* form = Create<TTestForm>(nullptr);
  form->Release();
  form->Free();
  EXPECT_EQ(TTestForm::destroyed, 1);
  ui.ProcessMessages();
  EXPECT_EQ(TTestForm::destroyed, 1);
}

TEST_F(ReleaseTest, AReleaseFromACommandHandlerRunsInTheNextModalLoop) {
  // A handler creates a form, shows it, releases it and returns; the next form's loop frees it.
  auto run = [&] {
    TTestForm* dialog = Create<TTestForm>(nullptr);
    ui.WhenModal([&](TCustomForm&) { ui.Click("btnCancel"); });
    dialog->ShowModal();
    dialog->Release();
  };
  run();
  EXPECT_EQ(TTestForm::destroyed, 0);
  run();
  EXPECT_EQ(TTestForm::destroyed, 1);
  ui.ProcessMessages();
  EXPECT_EQ(TTestForm::destroyed, 2);
}

}  // namespace
}  // namespace tvx::test
