// The data grid scaled from its design resolution to the screen's, as a form designed at 96
// pixels per inch is shown at 144: the columns, a fixed row height, a title font of its own and
// the indicator column grow with the text, so that the cells keep room for it.
#include <gtest/gtest.h>

#include "ui/core/form.h"
#include "ui/core/initialize_ui.h"
#include "ui/data/db_grid.h"
#include "ui/headless/headless_driver.h"

namespace tvx::test {
namespace {

TEST(DBGridScale, ColumnsRowHeightAndOwnTitleFontScaleWithTheGrid) {
  headless::HeadlessDriver ui;
  InitializeUi();
  TOwned<TForm> form = CreateOwned<TForm>(nullptr, kCreateNew);
  TDBGrid* grid = Create<TDBGrid>(form.get());
  grid->SetBounds(0, 0, 424, 286);
  grid->SetParent(form.get());
  for (int32_t width : {129, 140, 121}) grid->Columns()->Add()->SetWidth(width);
  grid->TitleFont()->SetHeight(-12);  // a title font of its own
  grid->SetDefaultRowHeight(18);

  grid->ChangeScale(144, 96);

  EXPECT_EQ(grid->Width(), 636);
  EXPECT_EQ(grid->ColumnWidth(0), 194);  // 193.5 rounded away from zero
  EXPECT_EQ(grid->ColumnWidth(1), 210);
  EXPECT_EQ(grid->ColumnWidth(2), 182);
  EXPECT_EQ(grid->TitleFont()->Height(), -18);
  EXPECT_EQ(grid->DefaultRowHeight(), 27);
  EXPECT_EQ(grid->IndicatorWidth(), 17);  // 16.5
  // The layout follows: the last column ends where the scaled widths put it.
  EXPECT_EQ(grid->CellRect(0, 2).right, 17 + 1 + 195 + 211 + 182);

  // Back to the design resolution.
  grid->ChangeScale(96, 144);
  EXPECT_EQ(grid->ColumnWidth(0), 129);
  EXPECT_EQ(grid->TitleFont()->Height(), -12);
  EXPECT_EQ(grid->IndicatorWidth(), TDBGrid::kIndicatorWidth);
}

TEST(DBGridScale, ATitleFontThatFollowsTheGridFontIsScaledOnce) {
  headless::HeadlessDriver ui;
  InitializeUi();
  TOwned<TForm> form = CreateOwned<TForm>(nullptr, kCreateNew);
  TDBGrid* grid = Create<TDBGrid>(form.get());
  grid->SetParent(form.get());
  static_cast<TWinControl&>(*form).ChangeScale(144, 96);
  EXPECT_EQ(form->Font()->Height(), -17);
  EXPECT_EQ(grid->Font()->Height(), -17);
  EXPECT_EQ(grid->TitleFont()->Height(), -17);
}

}  // namespace
}  // namespace tvx::test
