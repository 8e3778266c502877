// Exception handling of the application object: the silent abort, the exception event, and
// the error box with its full stop.
#include <gtest/gtest.h>

#include <stdexcept>

#include "classes/application_hooks.h"
#include "rtl/exceptions.h"
#include "test_form.h"
#include "ui/core/message_dialogs.h"
#include "ui_fixture.h"

namespace tvx::test {
namespace {

class ExceptionTest : public UiTest {
 protected:
  ExceptionTest() : app(CreateOwned<TApplication>(nullptr)) {
    app->SetTitle("Personnel");
    app->SetHandle(0x77);
    SetApplication(app.get());
  }
  ~ExceptionTest() override { TTestForm::on_create = nullptr; }

  TOwned<TApplication> app;
};

TEST_F(ExceptionTest, TheErrorBoxEndsTheMessageWithAFullStopWhenItsLastCharacterSortsAfterIt) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Invalid variant operation", "Invalid variant operation."},
      {"Ошибка сервера", "Ошибка сервера."},  // the last letter is multi-byte
      {"Deletes are not allowed.", "Deletes are not allowed."},
      {"Why?", "Why?."},  // '?' sorts after '.'
      {"Stop!", "Stop!"},
      {"(1)", "(1)"},
      {"range 1-", "range 1-"},
      {"code 42", "code 42."},
      {"trailing blank ", "trailing blank "},
      {"", ""},
  };
  ui.SetBoxAnswerer([](const headless::RecordedBox&) { return mrOk; });
  for (const auto& [message, shown] : cases) {
    app->HandleException(std::make_exception_ptr(Exception(message)));
  }
  ASSERT_EQ(ui.Boxes().size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].first);
    const headless::RecordedBox& box = ui.Boxes()[i];
    EXPECT_EQ(box.text, cases[i].second);
    EXPECT_EQ(box.kind, TMsgDlgType::mtError);
    EXPECT_EQ(box.title, "Personnel");
    EXPECT_EQ(box.buttons, TMsgDlgButtons{mbOK});
    EXPECT_EQ(box.owner, 0x77u);
  }
}

TEST_F(ExceptionTest, ASilentAbortIsDroppedAndOtherStandardExceptionsAreShown) {
  ui.AnswerBox(mrOk);
  app->HandleException(std::make_exception_ptr(EAbort()));
  app->HandleException(EAbort());
  app->HandleException(std::make_exception_ptr(std::runtime_error("disk full")));
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "disk full.");
}

TEST_F(ExceptionTest, TheExceptionEventTakesTheExceptionInsteadOfTheBox) {
  std::vector<std::string> seen;
  app->OnException().Bind(nullptr, [&](TObject* sender, const std::exception& e) {
    EXPECT_EQ(sender, app.get());
    seen.push_back(ExceptionMessage(e));
  });
  app->HandleException(std::make_exception_ptr(EDatabaseError("Field 'ID' not found")));
  app->HandleException(std::make_exception_ptr(EAbort()));
  EXPECT_EQ(seen, (std::vector<std::string>{"Field 'ID' not found"}));
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(ExceptionTest, AFailingExceptionEventIsReportedItself) {
  ui.AnswerBox(mrOk);
  app->OnException().Bind(
      nullptr, [](TObject*, const std::exception&) { throw std::runtime_error("handler broke"); });
  app->HandleException(std::make_exception_ptr(Exception("first")));
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "handler broke.");
}

TEST_F(ExceptionTest, ExceptionsFromOtherSourcesPassThrough) {
  struct NotAnError {};
  EXPECT_THROW(app->HandleException(std::make_exception_ptr(NotAnError{})), NotAnError);
}

TEST_F(ExceptionTest, AnExceptionFromAClickHandlerIsShownAndTheFormStaysOpen) {
  auto form = CreateOwned<TTestForm>(nullptr);
  form->on_ok = [](TTestForm&) { throw EOleException("Server error", -1, "srv"); };
  ui.AnswerBox(mrOk);
  ui.WhenModal([&](TCustomForm&) { ui.Click("btnOK"); });
  ui.WhenModal([&](TCustomForm& f) {
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.ModalResult(), mrNone);
    ui.CloseBox();
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "Server error.");
}

TEST_F(ExceptionTest, AHandlerThatStopsSilentlyShowsNothingMore) {
  auto form = CreateOwned<TTestForm>(nullptr);
  form->on_ok = [](TTestForm& f) {
    MessageDlg("Введите дату С", TMsgDlgType::mtError, {mbOK});
    f.btnFrom->SetFocus();
    Abort();
  };
  ui.AnswerBox(mrOk);
  ui.WhenModal([&](TCustomForm&) { ui.Click("btnOK"); });
  ui.WhenModal([&](TCustomForm&) {
    EXPECT_EQ(ui.Focused(), form->btnFrom);
    ui.CloseBox();
  });
  form->ShowModal();
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].title, "Error");
  EXPECT_EQ(ui.Boxes()[0].text, "Введите дату С");
}

TEST_F(ExceptionTest, AnExceptionFromOnCreateIsShownAndTheFormIsCreated) {
  TTestForm::on_create = [](TTestForm&) { throw EConvertError("bad value"); };
  ui.AnswerBox(mrOk);
  auto form = CreateOwned<TTestForm>(nullptr);
  EXPECT_EQ(form->creates, 1);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "bad value.");
  EXPECT_EQ(ui.Boxes()[0].title, "Personnel");
}

TEST_F(ExceptionTest, TheModulesOwnApplicationHasNoWindow) {
  EXPECT_EQ(ModuleApplication()->Handle(), 0u);
  EXPECT_EQ(Application(), app.get());
  EXPECT_EQ(SetApplication(nullptr), app.get());
  EXPECT_EQ(Application(), ModuleApplication());
}

}  // namespace
}  // namespace tvx::test
