// Switching between exporting all data and exporting the changes over a range of dates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "dialogs/export_history_form.h"

namespace tvx::test {
namespace {

std::vector<std::string> EnabledChildren(TPanel& panel, bool enabled) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < panel.ControlCount(); ++i) {
    if (panel.Controls(i)->Enabled() == enabled) names.push_back(panel.Controls(i)->Name());
  }
  return names;
}

const std::vector<std::string> kPanelChildren = {"Label1", "ePreviousExport", "eExportHints",
                                                 "btnShowHistory", "GroupBox1"};

TEST_F(DialogTest, AllDataDisablesThePanelsChildrenAndChangesEnablesThemAgain) {
  const HistoryRow rows[] = {{1, Day(2024, 3, 10), Day(2024, 2, 1), Day(2024, 3, 1)}};
  TExport1CConfigDlg& dlg = OpenDialog(rows);
  ui.WhenModal([&](TCustomForm&) {
    ui.Click("eExportAll");
    EXPECT_FALSE(dlg.eExportChanges->Checked());
    EXPECT_EQ(EnabledChildren(*dlg.Panel2, false), kPanelChildren);
    EXPECT_TRUE(dlg.Panel2->Enabled());
    // Controls further down keep their own state but cannot be reached.
    EXPECT_TRUE(dlg.eExportFrom->Enabled());
    EXPECT_TRUE(dlg.Label3->Enabled());
    EXPECT_FALSE(ui.Focus(*dlg.eExportFrom));
    EXPECT_FALSE(ui.TryClick(*dlg.btnShowHistory));
    EXPECT_TRUE(dlg.eExportHints->Visible());

    ui.Click("eExportChanges");
    EXPECT_FALSE(dlg.eExportAll->Checked());
    EXPECT_EQ(EnabledChildren(*dlg.Panel2, true), kPanelChildren);
    EXPECT_TRUE(ui.Focus(*dlg.eExportFrom));
    ui.Click("btnCancel");
  });
  dlg.ShowModal();
  EXPECT_TRUE(ExportCalls().empty());
}

TEST_F(DialogTest, SwitchingBackEnablesTheHistoryButtonOnAnEmptyHistory) {
  TExport1CConfigDlg& dlg = OpenDialog({});
  int32_t rows_shown = -1;
  std::string first_title;
  ui.WhenModal([&](TCustomForm&) {
    EXPECT_FALSE(ui.TryClick(*dlg.btnShowHistory));
    ui.Click("eExportAll");
    ui.Click("eExportChanges");
    EXPECT_TRUE(dlg.btnShowHistory->Enabled());
    // Visibility is not the switch's business: the range line stays hidden.
    EXPECT_FALSE(dlg.eExportHints->Visible());
    ui.Click("btnShowHistory");
    ui.Click("btnCancel");
  });
  ui.WhenModal([&](TCustomForm& view) {
    auto& grid = ui.Find<TDBGrid>("DBGrid1");
    rows_shown = grid.RowCount();
    first_title = grid.TitleText(0);
    EXPECT_EQ(view.ClassName(), "TExportHistoryForm");
    ui.Click("btnOK");
  });
  dlg.ShowModal();
  EXPECT_EQ(rows_shown, 0);
  EXPECT_EQ(first_title, "Дата экспорта");
}

TEST_F(DialogTest, EnableChildControlsLeavesGrandchildrenAlone) {
  TExport1CConfigDlg& dlg = OpenDialog({});
  dlg.eExportTo->SetEnabled(false);
  EnableChildControls(dlg.Panel2, false);
  EnableChildControls(dlg.Panel2, true);
  EXPECT_TRUE(dlg.GroupBox1->Enabled());
  EXPECT_FALSE(dlg.eExportTo->Enabled());
  EXPECT_TRUE(dlg.eExportFrom->Enabled());
}

}  // namespace
}  // namespace tvx::test
