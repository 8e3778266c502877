// The export options dialog driven as the operator drives it, with real key and mouse
// messages: the Tab order, the arrow keys between the radio buttons, switching the mode with
// the mouse, Enter and Escape doing nothing, the history view over the dialog, the checks and
// the export with their message boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_windows.h"

namespace tvx::test {
namespace {

using DialogInputTest = DialogWindowsTest;

std::vector<std::string> ServerMethods(const TestAppServer& server) {
  std::vector<std::string> methods;
  for (const ReceivedCall& call : server.Calls()) methods.push_back(call.method);
  return methods;
}

TEST_F(DialogInputTest, TabAndShiftTabVisitTheControlsInTheTablesOrder) {
  TExport1CConfigDlg& dlg = OpenDialog();
  std::vector<std::string> visited;
  script.Then([&] { visited.push_back(FocusedName()); });
  for (int i = 0; i < 6; ++i) {
    script.Then([] { PressKey(VK_TAB); }).Then([&] { visited.push_back(FocusedName()); });
  }
  for (int i = 0; i < 6; ++i) {
    script.Then([] { PressKey(VK_TAB, true); }).Then([&] { visited.push_back(FocusedName()); });
  }
  script.Then([&] { ClickButton(WindowOf(dlg.btnCancel)); });
  dlg.ShowModal();
  const std::vector<std::string> expected = {
      "eExportChanges", "eExportTo", "eExportFrom", "btnShowHistory", "btnOK", "btnCancel",
      "eExportChanges",  // wrapped; the unchecked radio
                         // button is skipped
      "btnCancel", "btnOK", "btnShowHistory", "eExportFrom", "eExportTo", "eExportChanges"};
  EXPECT_EQ(visited, expected);
}

TEST_F(DialogInputTest, ArrowKeysMoveBetweenTheRadioButtonsAndCheckThem) {
  TExport1CConfigDlg& dlg = OpenDialog();
  struct Seen {
    std::string focus;
    LRESULT all_checked;
    LRESULT changes_checked;
    bool group_enabled;
    std::string after_tab;
  };
  std::vector<Seen> seen;
  auto look = [&] {
    seen.push_back({FocusedName(), SendMessageW(WindowOf(dlg.eExportAll), BM_GETCHECK, 0, 0),
                    SendMessageW(WindowOf(dlg.eExportChanges), BM_GETCHECK, 0, 0),
                    IsWindowEnabled(WindowOf(dlg.GroupBox1)) != FALSE, ""});
  };
  script.Then([] { PressKey(VK_UP); })
      .Then(look)
      .Then([] { PressKey(VK_TAB); })
      .Then([&] { seen.back().after_tab = FocusedName(); })
      .Then([] { PressKey(VK_TAB, true); })
      .Then([] { PressKey(VK_DOWN); })
      .Then(look)
      .Then([&] { ClickButton(WindowOf(dlg.btnCancel)); });
  dlg.ShowModal();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].focus, "eExportAll");
  EXPECT_EQ(seen[0].all_checked, BST_CHECKED);
  EXPECT_EQ(seen[0].changes_checked, BST_UNCHECKED);
  EXPECT_FALSE(seen[0].group_enabled);
  EXPECT_EQ(seen[0].after_tab, "btnOK") << "the disabled panel's controls are skipped";
  EXPECT_EQ(seen[1].focus, "eExportChanges");
  EXPECT_EQ(seen[1].all_checked, BST_UNCHECKED);
  EXPECT_EQ(seen[1].changes_checked, BST_CHECKED);
  EXPECT_TRUE(seen[1].group_enabled);
}

TEST_F(DialogInputTest, ClickingTheModesEnablesAndDisablesThePanelsControls) {
  TExport1CConfigDlg& dlg = OpenDialog();
  const std::vector<const char*> panel_children = {"Label1", "ePreviousExport", "eExportHints",
                                                   "GroupBox1", "btnShowHistory"};
  auto enabled = [&](const char* name) {
    return IsWindowEnabled(WindowOf(dlg.FindChildControl(name))) != FALSE;
  };
  auto tab_stop = [&](TControl* control) { return (StyleOf(WindowOf(control)) & WS_TABSTOP) != 0; };
  script.Then([&] { ClickButton(WindowOf(dlg.eExportAll)); })
      .Then([&] {
        EXPECT_EQ(FocusedName(), "eExportAll");
        EXPECT_EQ(SendMessageW(WindowOf(dlg.eExportAll), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageW(WindowOf(dlg.eExportChanges), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_TRUE(tab_stop(dlg.eExportAll));
        EXPECT_FALSE(tab_stop(dlg.eExportChanges));
        for (const char* name : panel_children) EXPECT_FALSE(enabled(name)) << name;
        EXPECT_TRUE(enabled("eExportFrom")) << "inside the group box: keeps its own state";
        // A click on a disabled button does nothing.
        ClickButton(WindowOf(dlg.btnShowHistory));
        EXPECT_EQ(ShownForms().size(), 1u);
        ClickButton(WindowOf(dlg.eExportChanges));
      })
      .Then([&] {
        EXPECT_EQ(SendMessageW(WindowOf(dlg.eExportChanges), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_TRUE(tab_stop(dlg.eExportChanges));
        EXPECT_FALSE(tab_stop(dlg.eExportAll));
        for (const char* name : panel_children) EXPECT_TRUE(enabled(name)) << name;
        ClickButton(WindowOf(dlg.btnCancel));
      });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
}

TEST_F(DialogInputTest, EnterAndEscapeDoNothingAndTheCloseBoxCancelsWithoutCallingTheServer) {
  TExport1CConfigDlg& dlg = OpenDialog();
  server->ClearCalls();
  bool still_shown = false;
  script.Then([] { PressKey(VK_RETURN); }).Then([] { PressKey(VK_ESCAPE); }).Then([&] {
    still_shown = IsWindowVisible(WindowOf(&dlg)) != FALSE && dlg.ModalResult() == mrNone;
    PostMessageW(WindowOf(&dlg), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_TRUE(still_shown);
  EXPECT_TRUE(server->Calls().empty());
}

TEST_F(DialogInputTest, HistoryViewIsModalOverTheDialogAndTheDialogIsActiveAgainAfter) {
  TExport1CConfigDlg& dlg = OpenDialog();
  HWND view = nullptr;
  script.Then([&] { ClickButton(WindowOf(dlg.btnShowHistory)); })
      .When([] { return FindThreadWindow(L"История экспорта") != nullptr; },
            [&] {
              view = FindThreadWindow(L"История экспорта");
              EXPECT_EQ(GetActiveWindow(), view);
              EXPECT_EQ(GetWindow(view, GW_OWNER), owner);
              EXPECT_FALSE(IsWindowEnabled(WindowOf(&dlg)));
              EXPECT_FALSE(IsWindowEnabled(owner));
              PostMessageW(view, WM_CLOSE, 0, 0);
            })
      .Then([&] {
        EXPECT_FALSE(IsWindow(view));
        EXPECT_TRUE(IsWindowEnabled(WindowOf(&dlg)));
        EXPECT_EQ(GetActiveWindow(), WindowOf(&dlg));
        EXPECT_EQ(FocusedName(), "btnShowHistory");
        EXPECT_EQ(ShownForms().size(), 1u);
        ClickButton(WindowOf(dlg.btnCancel));
      });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(DialogInputTest, AnEmptiedDateIsRefusedInAnErrorBoxAndTheFocusGoesBackIntoTheField) {
  TExport1CConfigDlg& dlg = OpenDialog();
  server->ClearCalls();
  std::string box_text;
  script.Then([&] { dlg.eExportFrom->SetFocus(); })
      .Then([] { PressKey(VK_HOME); })
      .Then([] { PressKey(VK_END, true); })
      .Then([] { PressKey(VK_DELETE); })
      .Then([] { PressKey(VK_SHIFT, false); })
      .Then([&] { ClickButton(WindowOf(dlg.btnOK)); })
      .When([] { return FindThreadWindow(L"Error") != nullptr; },
            [&] {
              HWND box = FindThreadWindow(L"Error");
              box_text = BoxText(box);
              EXPECT_EQ(GetWindow(box, GW_OWNER), WindowOf(&dlg));
              AnswerBox(box, IDOK);
            })
      .Then([&] {
        EXPECT_EQ(FocusedName(), "eExportFrom");
        ClickButton(WindowOf(dlg.btnCancel));
      });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_EQ(box_text, "Введите дату С");
  EXPECT_TRUE(server->Calls().empty());
}

// Each check of the dates refuses in an error box owned by the dialog; once it closes, the
// dialog is the active and the foreground window again, with the focus in the field concerned,
// with an application window behind the dialog and without one (a host that has none).
struct RefusedDates {
  std::string what;
  TDateTime from, to;
  std::string box_text;
  std::string field;
};

const RefusedDates kRefusedDates[] = {
    {"From empty", 0, 45000, "Введите дату С", "eExportFrom"},
    {"To empty", 45000, 0, "Введите дату ПО", "eExportTo"},
    {"From after To", 45010, 45000, "Дата С не может быть больше даты ПО", "eExportFrom"},
};

TEST_F(DialogInputTest, AfterEachRefusalTheDialogIsActiveAgainWithTheFocusInTheField) {
  for (const bool application_window : {true, false}) {
    SetApplication(application_window ? application : nullptr);
    for (const RefusedDates& c : kRefusedDates) {
      SCOPED_TRACE(c.what + (application_window ? ", with an application window" : ", alone"));
      TExport1CConfigDlg& dlg = OpenDialog();
      server->ClearCalls();
      HWND box_owner = nullptr;
      HWND form = nullptr;
      std::string box_text;
      script
          .Then([&] {
            // The focus elsewhere first, so that it must be put into the field.
            dlg.btnShowHistory->SetFocus();
            dlg.eExportFrom->SetDate(c.from);
            dlg.eExportTo->SetDate(c.to);
            ClickButton(WindowOf(dlg.btnOK));
          })
          .When([] { return FindThreadWindow(L"Error") != nullptr; },
                [&] {
                  HWND box = FindThreadWindow(L"Error");
                  box_text = BoxText(box);
                  box_owner = GetWindow(box, GW_OWNER);
                  form = WindowOf(&dlg);
                  AnswerBox(box, IDOK);
                })
          .When([] { return FindThreadWindow(L"Error") == nullptr; },
                [&] {
                  EXPECT_EQ(GetActiveWindow(), form);
                  EXPECT_EQ(GetForegroundWindow(), form);
                  EXPECT_TRUE(IsWindowEnabled(form));
                  EXPECT_EQ(FocusedName(), c.field);
                  ClickButton(WindowOf(dlg.btnCancel));
                });
      EXPECT_EQ(dlg.ShowModal(), mrCancel);
      EXPECT_EQ(box_text, c.box_text);
      EXPECT_NE(form, nullptr);
      EXPECT_EQ(box_owner, form);
      EXPECT_TRUE(server->Calls().empty());
      dlg.Free();
      dialog = nullptr;
    }
  }
  SetApplication(application);
}

TEST_F(DialogInputTest, ConfirmingExportsReportsCompletionAndClosesTheDialog) {
  TExport1CConfigDlg& dlg = OpenDialog();
  server->ClearCalls();
  std::string box_text;
  script.Then([&] { ClickButton(WindowOf(dlg.btnOK)); })
      .When([] { return FindThreadWindow(L"Information") != nullptr; },
            [&] {
              HWND box = FindThreadWindow(L"Information");
              box_text = BoxText(box);
              EXPECT_FALSE(IsWindowEnabled(WindowOf(&dlg)));
              AnswerBox(box, IDOK);
            });
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(box_text, "Экспорт данных завершен!");
  EXPECT_EQ(ServerMethods(*server), std::vector<std::string>{"ExportData1C"});
  EXPECT_EQ(GetActiveWindow(), owner);
}

}  // namespace
}  // namespace tvx::test
