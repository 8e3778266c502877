// The two windows as their stored descriptions build them: every control where it belongs,
// with its text, place, tab order, font and behaviour switches.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "dialogs/export_history_form.h"
#include "support/options_dialog_layout.h"

namespace tvx::test {
namespace {

void ExpectControls(TCustomForm& form, std::span<const DesignedControl> cases) {
  // The table holds every control of the form, no fewer.
  size_t controls = 0;
  for (int32_t i = 0; i < form.ComponentCount(); ++i) {
    controls += dynamic_cast<TControl*>(form.Components(i)) != nullptr;
  }
  EXPECT_EQ(cases.size(), controls);
  for (const DesignedControl& c : cases) {
    SCOPED_TRACE(c.name);
    TControl* control = form.FindChildControl(c.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->ClassName(), c.class_name);
    ASSERT_NE(control->Parent(), nullptr);
    EXPECT_EQ(control->Parent()->Name(), c.parent);
    EXPECT_EQ(control->Caption(), c.caption);
    EXPECT_EQ(control->Left(), c.bounds.left);
    EXPECT_EQ(control->Top(), c.bounds.top);
    // A label sizes itself to its text: its designed width and height do not hold.
    if (c.class_name != "TLabel") {
      EXPECT_EQ(control->Width(), c.bounds.width);
      EXPECT_EQ(control->Height(), c.bounds.height);
    }
    auto* windowed = dynamic_cast<TWinControl*>(control);
    EXPECT_EQ(windowed != nullptr ? windowed->TabOrder() : -1, c.tab_order);
    EXPECT_TRUE(control->Enabled());
    EXPECT_TRUE(control->Visible());
  }
}

void ExpectWindowFont(const TFont& font, bool bold) {
  EXPECT_EQ(font.Name(), "Tahoma");
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Color(), clWindowText);
  EXPECT_EQ(font.Charset(), kDefaultCharset);
  EXPECT_EQ(font.Style(), bold ? TFontStyles{fsBold} : TFontStyles{});
}

TEST_F(DialogTest, OptionsDialogLayout) {
  TExport1CConfigDlg& dlg = OpenDialog(kOneExport);
  EXPECT_EQ(dlg.Name(), "Export1CConfigDlg");
  EXPECT_EQ(dlg.Caption(), "Экспорт данных");
  EXPECT_EQ(dlg.ClientWidth(), 340);
  EXPECT_EQ(dlg.ClientHeight(), 253);
  EXPECT_EQ(dlg.BorderStyle(), TFormBorderStyle::bsDialog);
  EXPECT_EQ(dlg.BorderIcons(), TBorderIcons{biSystemMenu});
  EXPECT_EQ(dlg.Position(), TPosition::poScreenCenter);
  EXPECT_EQ(dlg.Color(), clBtnFace);
  EXPECT_EQ(dlg.PixelsPerInch(), 96);
  EXPECT_EQ(dlg.TextHeight(), 13);
  ExpectWindowFont(*dlg.Font(), false);
  ExpectWindowFont(*dlg.ePreviousExport->Font(), true);
  EXPECT_TRUE(dlg.Label1->ParentFont());

  ExpectControls(dlg, OptionsDialogControls());
  // Cyrillic О (U+041E) and К (U+041A), not Latin O and K.
  EXPECT_EQ(dlg.btnOK->Caption(), "\xD0\x9E\xD0\x9A");
  EXPECT_EQ(dlg.Panel2->BevelOuter(), TBevelCut::bvRaised);
  EXPECT_EQ(dlg.Panel2->BevelInner(), TBevelCut::bvLowered);
  EXPECT_EQ(dlg.Panel1->Align(), TAlign::alBottom);
  EXPECT_EQ(dlg.Panel1->BevelOuter(), TBevelCut::bvNone);
  EXPECT_EQ(dlg.Panel1->BevelInner(), TBevelCut::bvNone);
  EXPECT_EQ(dlg.Bevel1->Align(), TAlign::alTop);
  EXPECT_EQ(dlg.Bevel1->Shape(), TBevelShape::bsTopLine);
  for (TButton* button : {dlg.btnOK, dlg.btnCancel, dlg.btnShowHistory}) {
    SCOPED_TRACE(button->Name());
    EXPECT_FALSE(button->Default());
    EXPECT_FALSE(button->Cancel());
  }
  EXPECT_EQ(dlg.btnOK->Anchors(), (TAnchors{akTop, akRight}));
  EXPECT_EQ(dlg.btnCancel->Anchors(), (TAnchors{akTop, akRight}));
  EXPECT_EQ(dlg.btnOK->ModalResult(), mrNone);
  EXPECT_EQ(dlg.btnCancel->ModalResult(), mrCancel);
  EXPECT_FALSE(dlg.eExportAll->Checked());
  EXPECT_TRUE(dlg.eExportChanges->Checked());
  // The checked radio button is the group's one Tab stop.
  EXPECT_FALSE(dlg.eExportAll->IsTabStop());
  EXPECT_TRUE(dlg.eExportChanges->IsTabStop());

  TClientDataSet& history = *dlg.cdsExportHistory;
  EXPECT_EQ(history.Owner(), &dlg);
  EXPECT_EQ(history.ProviderName(), "dspQuery");
  EXPECT_EQ(history.CommandText(), "SELECT * FROM OK_EXPORT_HISTORY");
  EXPECT_EQ(history.IndexFieldNames(), "EXPORT_DATE");
  EXPECT_EQ(history.RemoteServer(), connection);
  ASSERT_EQ(history.FieldCount(), 4);
  const TField* fields[] = {dlg.cdsExportHistoryID, dlg.cdsExportHistoryEXPORT_DATE,
                            dlg.cdsExportHistoryEXPORT_FROM, dlg.cdsExportHistoryEXPORT_TO};
  const char* columns[] = {"ID", "EXPORT_DATE", "EXPORT_FROM", "EXPORT_TO"};
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(history.Fields(i), fields[i]);
    EXPECT_EQ(fields[i]->FieldName(), columns[i]);
    EXPECT_EQ(fields[i]->Name(), std::string("cdsExportHistory") + columns[i]);
  }
  EXPECT_EQ(dlg.cdsExportHistoryID->ClassName(), "TIntegerField");
  EXPECT_EQ(dlg.cdsExportHistoryEXPORT_TO->ClassName(), "TDateTimeField");
}

TEST_F(DialogTest, CreationShowsTheDesignTextsAndProposesTodayAsTo) {
  TOwned<TExport1CConfigDlg> dlg = CreateOwned<TExport1CConfigDlg>(nullptr);
  EXPECT_EQ(dlg->ePreviousExport->Caption(), "ePreviousExport");
  EXPECT_EQ(dlg->eExportHints->Caption(), "Экспортировались данные с 01.01.2012 по 31.12.2012");
  EXPECT_TRUE(dlg->eExportFrom->IsBlank());
  EXPECT_EQ(dlg->eExportTo->Date(), Date());
  EXPECT_FALSE(dlg->cdsExportHistory->Active());
  EXPECT_EQ(dlg->cdsExportHistory->RemoteServer(), nullptr);
  EXPECT_TRUE(server->Calls().empty());
}

TEST_F(DialogTest, TabVisitsTheDialogInItsOrder) {
  TExport1CConfigDlg& dlg = OpenDialog(kOneExport);
  std::vector<std::string> visited;
  ui.WhenModal([&](TCustomForm&) {
    visited.push_back(FocusedName());
    for (int i = 0; i < 6; ++i) {
      ui.Press(kVkTab);
      visited.push_back(FocusedName());
    }
    ui.Click("btnCancel");
  });
  dlg.ShowModal();
  // Within the group box To comes before From; the unchecked radio button is skipped.
  EXPECT_EQ(visited,
            (std::vector<std::string>{"eExportChanges", "eExportTo", "eExportFrom",
                                      "btnShowHistory", "btnOK", "btnCancel", "eExportChanges"}));
}

TEST_F(DialogTest, HistoryViewLayout) {
  TOwned<TExportHistoryForm> view = CreateOwned<TExportHistoryForm>(nullptr);
  EXPECT_EQ(view->Name(), "ExportHistoryForm");
  EXPECT_EQ(view->Caption(), "История экспорта");
  EXPECT_EQ(view->Width(), 432);
  EXPECT_EQ(view->Height(), 361);
  EXPECT_EQ(view->ClientWidth(), 424);
  EXPECT_EQ(view->ClientHeight(), 327);
  EXPECT_EQ(view->BorderStyle(), TFormBorderStyle::bsSizeable);
  EXPECT_EQ(view->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize, biMaximize}));
  EXPECT_EQ(view->Position(), TPosition::poScreenCenter);
  EXPECT_EQ(view->Color(), clBtnFace);
  EXPECT_EQ(view->ActiveControl(), view->DBGrid1);
  ExpectWindowFont(*view->Font(), false);
  ExpectControls(*view, HistoryViewControls());

  EXPECT_EQ(view->DBGrid1->Align(), TAlign::alClient);
  EXPECT_EQ(view->Panel1->Align(), TAlign::alBottom);
  EXPECT_EQ(view->Panel1->BevelOuter(), TBevelCut::bvNone);
  EXPECT_EQ(view->Bevel1->Align(), TAlign::alTop);
  EXPECT_EQ(view->Bevel1->Shape(), TBevelShape::bsTopLine);
  EXPECT_EQ(view->btnOK->Anchors(), (TAnchors{akTop, akRight}));
  EXPECT_EQ(view->btnOK->ModalResult(), mrOk);
  EXPECT_FALSE(view->btnOK->Default());
  EXPECT_FALSE(view->btnOK->Cancel());

  TDBGrid& grid = *view->DBGrid1;
  EXPECT_EQ(grid.DataSource(), view->DataSource);
  EXPECT_EQ(view->DataSource->DataSet(), nullptr);
  EXPECT_EQ(grid.Options(), (TDBGridOptions{dgTitles, dgIndicator, dgColLines, dgRowLines, dgTabs,
                                            dgConfirmDelete, dgCancelOnExit}));
  ExpectWindowFont(*grid.Font(), false);
  ExpectWindowFont(*grid.TitleFont(), false);
  struct Column {
    const char* field;
    const char* title;
    int32_t width;
  };
  const Column columns[] = {{"EXPORT_DATE", "Дата экспорта", 129},
                            {"EXPORT_FROM", "Изменения с", 140},
                            {"EXPORT_TO", "Изменения по", 121}};
  ASSERT_EQ(grid.Columns()->Count(), 3);
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(grid.Columns()->Items(i)->FieldName(), columns[i].field);
    EXPECT_EQ(grid.Columns()->Items(i)->Title()->Caption(), columns[i].title);
    EXPECT_EQ(grid.Columns()->Items(i)->Width(), columns[i].width);
  }

  // The components in the order of the description.
  std::vector<std::string> names;
  for (int32_t i = 0; i < view->ComponentCount(); ++i) names.push_back(view->Components(i)->Name());
  EXPECT_EQ(names,
            (std::vector<std::string>{"Panel1", "Bevel1", "btnOK", "DataSource", "DBGrid1"}));
}

TEST_F(DialogTest, HistoryViewResizesAroundItsButtonPanel) {
  OpenDialog(kOneExport);
  ui.WhenModal([&](TCustomForm&) {
    ui.Click("btnShowHistory");
    ui.Click("btnCancel");
  });
  ui.WhenModal([&](TCustomForm& view) {
    ui.Resize(view, 600, 400);
    auto& grid = ui.Find<TDBGrid>("DBGrid1");
    auto& panel = ui.Find<TPanel>("Panel1");
    auto& button = ui.Find<TButton>("btnOK");
    EXPECT_EQ(grid.Bounds(), (TBounds{0, 0, 600, 359}));
    EXPECT_EQ(panel.Bounds(), (TBounds{0, 359, 600, 41}));
    EXPECT_EQ(button.Bounds(), (TBounds{519, 8, 75, 25}));
    ui.Click(button);
  });
  dialog->ShowModal();
}

}  // namespace
}  // namespace tvx::test
