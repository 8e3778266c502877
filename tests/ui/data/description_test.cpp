// The date field and the grid as a stored description names them.
#include <gtest/gtest.h>

#include "classes/description.h"
#include "db/data_source.h"
#include "ui/controls/date_edit.h"
#include "ui/core/form.h"
#include "ui/core/initialize_ui.h"
#include "ui/data/db_grid.h"
#include "ui/headless/headless_driver.h"

namespace tvx::test {
namespace {

constexpr const char* kDescription = R"({
  "name": "HistoryForm",
  "class": "TForm",
  "children": [
    {"name": "DataSource", "class": "TDataSource"},
    {
      "name": "DBGrid1",
      "class": "TDBGrid",
      "properties": {
        "Left": 0, "Top": 0, "Width": 424, "Height": 286, "TabOrder": 0,
        "DataSource": "DataSource",
        "Options": ["dgTitles", "dgIndicator", "dgColLines", "dgRowLines", "dgTabs",
                    "dgConfirmDelete", "dgCancelOnExit"],
        "TitleFont": {"Name": "Tahoma", "Height": -11, "Style": []},
        "Columns": [
          {"FieldName": "EXPORT_DATE", "Title": {"Caption": "Дата экспорта"}, "Width": 129},
          {"FieldName": "EXPORT_FROM", "Title": {"Caption": "Изменения с"}, "Width": 140},
          {"FieldName": "EXPORT_TO", "Title": {"Caption": "Изменения по"}, "Width": 121}
        ]
      }
    },
    {
      "name": "eExportFrom",
      "class": "TJvDateEdit",
      "properties": {"Left": 38, "Top": 300, "Width": 99, "Height": 21, "TabOrder": 1}
    }
  ]
})";

TEST(DataControlsDescription, CreatesTheGridWithItsColumnsOptionsAndSource) {
  InitializeUi();
  TJvDateEdit::StaticClass();
  TDBGrid::StaticClass();
  TDataSource::StaticClass();
  headless::HeadlessDriver ui;
  TOwned<TForm> form(Create<TForm>(nullptr, kCreateNew));
  ApplyDescription(form.get(), kDescription);

  auto* grid = dynamic_cast<TDBGrid*>(form->FindComponent("DBGrid1"));
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->Parent(), form.get());
  EXPECT_EQ(grid->DataSource(), form->FindComponent("DataSource"));
  EXPECT_EQ(grid->Options(), (TDBGridOptions{dgTitles, dgIndicator, dgColLines, dgRowLines, dgTabs,
                                             dgConfirmDelete, dgCancelOnExit}));
  EXPECT_EQ(grid->TitleFont()->Name(), "Tahoma");
  ASSERT_EQ(grid->Columns()->Count(), 3);
  EXPECT_EQ(grid->Columns()->Items(1)->FieldName(), "EXPORT_FROM");
  EXPECT_EQ(grid->Columns()->Items(1)->Title()->Caption(), "Изменения с");
  EXPECT_EQ(grid->Columns()->Items(2)->Width(), 121);
  EXPECT_EQ(grid->TitleText(0), "Дата экспорта");

  auto* edit = dynamic_cast<TJvDateEdit*>(form->FindComponent("eExportFrom"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->TabOrder(), 1);
  EXPECT_EQ(edit->Width(), 99);
  EXPECT_EQ(edit->Date(), 0);
}

TEST(DataControlsDescription, UnknownOptionIsRefused) {
  InitializeUi();
  TDBGrid::StaticClass();
  headless::HeadlessDriver ui;
  TOwned<TForm> form(Create<TForm>(nullptr, kCreateNew));
  EXPECT_THROW(ApplyDescription(form.get(), R"({"class": "TForm", "children": [
      {"name": "G", "class": "TDBGrid", "properties": {"Options": ["dgSorting"]}}]})"),
               EDescriptionError);
}

}  // namespace
}  // namespace tvx::test
