// Forms made from a stored description: controls, their values, nesting and handlers.
#include <gtest/gtest.h>

#include "test_form.h"
#include "ui_fixture.h"

namespace tvx::testing {
namespace {

using DescriptionTest = UiTest;

TEST_F(DescriptionTest, CreatesTheControlsWithTheirValuesAndParents) {
  auto form = CreateOwned<TTestForm>(nullptr);
  EXPECT_EQ(form->Name(), "TestForm");
  EXPECT_EQ(form->Caption(), "Test form");
  EXPECT_EQ(form->ClientWidth(), 340);
  EXPECT_EQ(form->ClientHeight(), 253);
  EXPECT_EQ(form->BorderStyle(), TFormBorderStyle::bsDialog);
  ASSERT_NE(form->btnOK, nullptr);
  EXPECT_EQ(form->btnOK->Parent(), form->Panel1);
  EXPECT_EQ(form->btnTo->Parent(), form->GroupBox1);
  EXPECT_EQ(form->GroupBox1->Parent(), form->Panel2);
  EXPECT_EQ(form->btnCancel->ModalResult(), mrCancel);
  EXPECT_TRUE(form->rbChanges->Checked());
  EXPECT_FALSE(form->rbAll->Checked());
  EXPECT_EQ(form->Panel2->BevelInner(), TBevelCut::bvLowered);
  EXPECT_EQ(form->Panel2->BevelOuter(), TBevelCut::bvRaised);
  EXPECT_EQ(form->Bevel1->Shape(), TBevelShape::bsTopLine);
  EXPECT_EQ(form->btnOK->Bounds(), (TBounds{179, 8, 75, 25}));
  EXPECT_EQ(form->Panel1->Bounds(), (TBounds{0, 212, 340, 41}));
  EXPECT_EQ(form->Bevel1->Bounds(), (TBounds{0, 0, 340, 4}));
  EXPECT_EQ(form->creates, 1);
  EXPECT_TRUE(form->create_saw_controls);
}

}  // namespace
}  // namespace tvx::testing
