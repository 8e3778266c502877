// Confirming the dialog as an operator does: the checks of the dates in their order, the
// box shown before the focus moves, the call the server receives, completion and closing.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "ui/core/application.h"

namespace tvx::test {
namespace {

constexpr auto kError = TMsgDlgType::mtError;
constexpr auto kInformation = TMsgDlgType::mtInformation;
constexpr VARTYPE kByRefVariant = VT_BYREF | VT_VARIANT;

const Box kDone{kInformation, "Экспорт данных завершен!"};

// A history whose proposed From is 01.03.2024.
const HistoryRow kHistory[] = {{1, Day(2024, 3, 10), Day(2024, 2, 1), Day(2024, 3, 1)}};

struct ConfirmCase {
  const char* name;
  bool all_data;
  std::string from_digits;  // "" blanks the field
  std::string to_digits;
  std::vector<Box> boxes;
  std::string focus_after;  // where the focus is once the box is closed ("" when no check failed)
  std::vector<ExportCall> calls;
  TModalResult result;
};

ExportCall Changes(TDateTime from, TDateTime to) {
  return {"ExportData1C", {VT_DATE, VT_DATE, VT_I4, VT_I4, kByRefVariant}, from, to};
}
const ExportCall kAllData{"ExportAllData", {}, std::nullopt, std::nullopt};

const ConfirmCase kConfirmCases[] = {
    {"ChangesOverARange",
     false,
     "01032024",
     "15032024",
     {kDone},
     "",
     {Changes(Day(2024, 3, 1), Day(2024, 3, 15))},
     mrOk},
    {"FromEqualToToPasses",
     false,
     "15032024",
     "15032024",
     {kDone},
     "",
     {Changes(Day(2024, 3, 15), Day(2024, 3, 15))},
     mrOk},
    {"BothEmptyAsksForFromOnly",
     false,
     "",
     "",
     {{kError, "Введите дату С"}},
     "eExportFrom",
     {},
     mrNone},
    {"OnlyFromEmpty",
     false,
     "",
     "15032024",
     {{kError, "Введите дату С"}},
     "eExportFrom",
     {},
     mrNone},
    {"OnlyToEmptyFocusesTo",
     false,
     "01032024",
     "",
     {{kError, "Введите дату ПО"}},
     "eExportTo",
     {},
     mrNone},
    {"ToBeforeFrom",
     false,
     "15032024",
     "14032024",
     {{kError, "Дата С не может быть больше даты ПО"}},
     "eExportFrom",
     {},
     mrNone},
    {"AllDataIgnoresEmptyDates", true, "", "", {kDone}, "", {kAllData}, mrOk},
    {"AllDataIgnoresReversedDates", true, "15032024", "14032024", {kDone}, "", {kAllData}, mrOk},
};

class ConfirmTest : public DialogTest, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(ConfirmTest, ChecksThenExports) {
  const ConfirmCase& c = GetParam();
  TExport1CConfigDlg& dlg = OpenDialog(kHistory);

  // Where the focus stood while each box was up: the box comes before the focus moves.
  std::vector<std::string> focus_during_box;
  ui.SetBoxAnswerer([&](const headless::RecordedBox&) {
    focus_during_box.push_back(FocusedName());
    return mrOk;
  });
  std::string focus_after, from_after, to_after;
  TModalResult result_in_loop = mrNone;
  ui.WhenModal([&](TCustomForm&) {
    EnterDate(*dlg.eExportFrom, c.from_digits);
    EnterDate(*dlg.eExportTo, c.to_digits);
    if (c.all_data) ui.Click("eExportAll");
    const std::string from_before = dlg.eExportFrom->Text();
    const std::string to_before = dlg.eExportTo->Text();
    ui.Click("btnOK");
    focus_after = FocusedName();
    result_in_loop = dlg.ModalResult();
    // A stopped confirmation keeps what the operator typed.
    EXPECT_EQ(dlg.eExportFrom->Text(), from_before);
    EXPECT_EQ(dlg.eExportTo->Text(), to_before);
    if (result_in_loop == mrNone) ui.Click("btnCancel");
  });
  const TModalResult result = dlg.ShowModal();

  EXPECT_EQ(Boxes(), c.boxes);
  for (const std::string& focus : focus_during_box) EXPECT_EQ(focus, "btnOK");
  EXPECT_EQ(ExportCalls(), c.calls);
  EXPECT_EQ(result_in_loop, c.result);
  EXPECT_EQ(result, c.result == mrNone ? mrCancel : c.result);
  if (!c.focus_after.empty()) {
    EXPECT_EQ(focus_after, c.focus_after);
  }
}

INSTANTIATE_TEST_SUITE_P(Operator, ConfirmTest, ::testing::ValuesIn(kConfirmCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, BoxesHaveTheTitlesOfTheirKindAndOneButton) {
  TExport1CConfigDlg& dlg = OpenDialog(kHistory);
  ui.AnswerBox(mrOk);
  ui.AnswerBox(mrOk);
  ui.WhenModal([&](TCustomForm&) {
    EnterDate(*dlg.eExportFrom, "");
    ui.Click("btnOK");
    EnterDate(*dlg.eExportFrom, "01032024");
    ui.Click("btnOK");
  });
  dlg.ShowModal();

  ASSERT_EQ(ui.Boxes().size(), 2u);
  EXPECT_EQ(ui.Boxes()[0].title, "Error");
  EXPECT_EQ(ui.Boxes()[1].title, "Information");
  for (const headless::RecordedBox& box : ui.Boxes()) {
    EXPECT_EQ(box.buttons, TMsgDlgButtons{mbOK});
    EXPECT_EQ(box.owner, Application()->Handle());
  }
}

// Ways in which the server call fails; each leaves the dialog open as the operator left it.
struct FailureCase {
  const char* name;
  void (*arrange)(TestAppServer& server, TTestRemoteServer& connection);
  std::string message;
};

const FailureCase kFailureCases[] = {
    {"ServerReportsAnError",
     [](TestAppServer& s, TTestRemoteServer&) {
       s.FailWithException(E_FAIL, u"Export to 1C failed: disk full.  ");
     },
     "Export to 1C failed: disk full."},
    {"CallFailsWithAStatus",
     [](TestAppServer& s, TTestRemoteServer&) {
       s.FailWithStatus(static_cast<HRESULT>(0x8004ABCD));
     },
     "OLE error 8004abcd."},
    {"ServerDoesNotKnowTheMethod", [](TestAppServer& s, TTestRemoteServer&) { s.FailNames(); },
     "Method 'ExportData1C' not supported by automation object."},
    {"ConnectionHoldsNoAutomationObject",
     [](TestAppServer&, TTestRemoteServer& c) { c.SetAppServerValue(OleVariant()); },
     "Invalid variant operation."},
};

class ServerFailureTest : public DialogTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ServerFailureTest, LeavesTheDialogOpenAndConfirmingAgainRepeatsTheChecks) {
  const FailureCase& c = GetParam();
  TExport1CConfigDlg& dlg = OpenDialog(kHistory);
  c.arrange(*server, *connection);
  const ULONG references_before = server->References();
  ui.SetBoxAnswerer([](const headless::RecordedBox&) { return mrOk; });

  size_t calls_after_failure = 0;
  ui.WhenModal([&](TCustomForm&) {
    EnterDate(*dlg.eExportTo, "20032024");
    ui.Click("btnOK");
    calls_after_failure = ExportCalls().size();
    EXPECT_EQ(dlg.ModalResult(), mrNone);
    EXPECT_EQ(dlg.eExportFrom->Text(), "01.03.2024");
    EXPECT_EQ(dlg.eExportTo->Text(), "20.03.2024");
    // Again, with From blanked: the checks run before anything reaches the server.
    EnterDate(*dlg.eExportFrom, "");
    ui.Click("btnOK");
    EXPECT_EQ(FocusedName(), "eExportFrom");
    ui.Click("btnCancel");
  });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);

  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0], (Box{TMsgDlgType::mtError, c.message}));
  EXPECT_EQ(Boxes()[1], (Box{TMsgDlgType::mtError, "Введите дату С"}));
  EXPECT_EQ(ExportCalls().size(), calls_after_failure);
  // The temporary references to the automation object are gone again.
  EXPECT_EQ(server->References(), references_before);
}

INSTANTIATE_TEST_SUITE_P(Server, ServerFailureTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct LeaveCase {
  const char* name;
  bool by_close_box;
  std::string from_digits;
  std::string to_digits;
};

const LeaveCase kLeaveCases[] = {
    {"CancelWithValidDates", false, "01032024", "15032024"},
    {"CancelWithEmptyDates", false, "", ""},
    {"CloseBoxWithValidDates", true, "01032024", "15032024"},
    {"CloseBoxWithReversedDates", true, "15032024", "01032024"},
};

class LeaveTest : public DialogTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveTest, CallsNothing) {
  const LeaveCase& c = GetParam();
  TExport1CConfigDlg& dlg = OpenDialog(kHistory);
  ui.WhenModal([&](TCustomForm& form) {
    EnterDate(*dlg.eExportFrom, c.from_digits);
    EnterDate(*dlg.eExportTo, c.to_digits);
    if (c.by_close_box) {
      ui.CloseBox(form);
    } else {
      ui.Click("btnCancel");
    }
  });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_TRUE(ExportCalls().empty());
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(connection->AppServerReads(), 1);  // the history request only
}

INSTANTIATE_TEST_SUITE_P(Operator, LeaveTest, ::testing::ValuesIn(kLeaveCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, EachConfirmationReadsTheConnectionsServerAnew) {
  TExport1CConfigDlg& dlg = OpenDialog(kHistory);
  server->FailWithStatus(E_FAIL);
  ui.SetBoxAnswerer([](const headless::RecordedBox&) { return mrOk; });
  ui.WhenModal([&](TCustomForm&) {
    ui.Click("btnOK");
    server->FailWithStatus(S_OK);
    ui.Click("btnOK");
  });
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(connection->AppServerReads(), 3);  // history, then one per confirmation
  EXPECT_EQ(ExportCalls().size(), 2u);
  EXPECT_EQ(Boxes().back(), kDone);
}

TEST_F(DialogTest, TextThatIsNoDateIsRefusedByTheFieldItself) {
  TExport1CConfigDlg& dlg = OpenDialog(kHistory);
  ui.AnswerBox(mrOk);
  ui.AnswerBox(mrOk);
  ui.WhenModal([&](TCustomForm&) {
    EnterDate(*dlg.eExportFrom, "31022024");  // 31 February
    ui.Press(kVkTab);
    EXPECT_EQ(FocusedName(), "eExportFrom");
    ui.Click("btnOK");  // the focus cannot leave the field, so the click ends there
    EXPECT_EQ(FocusedName(), "eExportFrom");
    EnterDate(*dlg.eExportFrom, "");
    ui.Click("btnCancel");
  });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  const Box refused{TMsgDlgType::mtError, "'31.02.2024' is not a valid date."};
  EXPECT_EQ(Boxes(), (std::vector<Box>{refused, refused}));
  EXPECT_TRUE(ExportCalls().empty());
}

}  // namespace
}  // namespace tvx::test
