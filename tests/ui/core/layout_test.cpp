// Alignment and anchors when a form is resized, label sizes, fonts that follow the parent,
// and scaling to the screen's resolution.
#include <gtest/gtest.h>

#include "test_form.h"
#include "ui_fixture.h"

namespace tvx::test {
namespace {

using LayoutTest = UiTest;

TEST_F(LayoutTest, BottomPanelAndRightAnchoredButtonsFollowTheClientArea) {
  struct Case {
    int width, height;
  };
  const Case cases[] = {{500, 400}, {340, 253}, {200, 120}, {600, 253}};
  auto form = CreateOwned<TTestForm>(nullptr);
  form->Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    ui.Resize(*form, c.width, c.height);
    EXPECT_EQ(form->ClientWidth(), c.width);
    EXPECT_EQ(form->ClientHeight(), c.height);
    EXPECT_EQ(form->Panel1->Bounds(), (TBounds{0, c.height - 41, c.width, 41}));
    EXPECT_EQ(form->Bevel1->Bounds(), (TBounds{0, 0, c.width, 4}));
    // 340 - 259 - 75 = 6 pixels to the right edge at design.
    EXPECT_EQ(form->btnCancel->Bounds(), (TBounds{c.width - 81, 8, 75, 25}));
    EXPECT_EQ(form->btnOK->Bounds(), (TBounds{c.width - 161, 8, 75, 25}));
    // Left and top anchored controls stay.
    EXPECT_EQ(form->Panel2->Bounds(), (TBounds{8, 56, 321, 145}));
  }
}

TEST_F(LayoutTest, ClientAlignedControlFillsWhatTheEdgeAlignedOnesLeave) {
  auto form = CreateOwned<TForm>(nullptr, kCreateNew);
  form->SetClientSize(424, 327);
  auto* grid = Create<TPanel>(form.get());
  grid->SetParent(form.get());
  grid->SetAlign(TAlign::alClient);
  auto* bottom = Create<TPanel>(form.get());
  bottom->SetParent(form.get());
  bottom->SetHeight(41);
  bottom->SetAlign(TAlign::alBottom);
  auto* left = Create<TPanel>(form.get());
  left->SetParent(form.get());
  left->SetWidth(30);
  left->SetAlign(TAlign::alLeft);
  EXPECT_EQ(grid->Bounds(), (TBounds{30, 0, 394, 286}));
  EXPECT_EQ(bottom->Bounds(), (TBounds{0, 286, 424, 41}));
  EXPECT_EQ(left->Bounds(), (TBounds{0, 0, 30, 286}));

  form->SetClientSize(600, 500);
  EXPECT_EQ(grid->Bounds(), (TBounds{30, 0, 570, 459}));
  bottom->SetVisible(false);  // a hidden control takes no space
  EXPECT_EQ(grid->Bounds(), (TBounds{30, 0, 570, 500}));
}

TEST_F(LayoutTest, StretchedAndUnanchoredControlsFollowTheirRules) {
  auto form = CreateOwned<TForm>(nullptr, kCreateNew);
  form->SetClientSize(200, 100);
  auto* stretched = Create<TPanel>(form.get());
  stretched->SetParent(form.get());
  stretched->SetBounds(10, 10, 180, 20);
  stretched->SetAnchors(TAnchors{akLeft, akTop, akRight});
  auto* floating = Create<TPanel>(form.get());
  floating->SetParent(form.get());
  floating->SetBounds(90, 40, 20, 20);
  floating->SetAnchors(TAnchors{});
  auto* bottom_right = Create<TPanel>(form.get());
  bottom_right->SetParent(form.get());
  bottom_right->SetBounds(150, 70, 40, 20);
  bottom_right->SetAnchors(TAnchors{akRight, akBottom});

  form->SetClientSize(400, 300);
  EXPECT_EQ(stretched->Bounds(), (TBounds{10, 10, 380, 20}));
  EXPECT_EQ(floating->Bounds(), (TBounds{190, 140, 20, 20}));  // centre kept in proportion
  EXPECT_EQ(bottom_right->Bounds(), (TBounds{350, 270, 40, 20}));
  // Shrinking below the stretched control's size and back restores it.
  form->SetClientSize(5, 5);
  EXPECT_EQ(stretched->Width(), 0);
  form->SetClientSize(200, 100);
  EXPECT_EQ(stretched->Bounds(), (TBounds{10, 10, 180, 20}));
  EXPECT_EQ(bottom_right->Bounds(), (TBounds{150, 70, 40, 20}));
}

TEST_F(LayoutTest, LabelsSizeThemselvesToTheirTextInTheirFont) {
  auto form = CreateOwned<TTestForm>(nullptr);
  // Headless metric: 6 pixels a character at 11 pixels, 7 in bold; lines 13 high.
  EXPECT_EQ(form->lblTitle->Bounds(), (TBounds{16, 8, 9 * 6, 13}));
  EXPECT_EQ(form->lblValue->Bounds(), (TBounds{176, 8, 5 * 7, 13}));
  EXPECT_TRUE(form->lblValue->Font()->Style().Contains(fsBold));
  EXPECT_FALSE(form->lblValue->ParentFont());
  form->lblValue->SetCaption("ОТСУТСТВУЕТ");  // counted in characters, not bytes
  EXPECT_EQ(form->lblValue->Width(), 11 * 7);
  form->lblValue->SetCaption("");
  EXPECT_EQ(form->lblValue->Height(), 13);
  form->lblTitle->SetAutoSize(false);
  form->lblTitle->SetCaption("a much longer caption than before");
  EXPECT_EQ(form->lblTitle->Width(), 54);
}

TEST_F(LayoutTest, FontsFollowTheParentUntilChangedThemselves) {
  auto form = CreateOwned<TTestForm>(nullptr);
  EXPECT_TRUE(form->lblTitle->ParentFont());
  form->Font()->SetHeight(-13);
  EXPECT_EQ(form->lblTitle->Font()->Height(), -13);
  EXPECT_EQ(form->btnTo->Font()->Height(), -13);  // two levels down
  EXPECT_EQ(form->lblTitle->Height(), 15);
  EXPECT_EQ(form->lblValue->Font()->Height(), -11);  // has a font of its own
  form->btnTo->Font()->SetName("Arial");
  EXPECT_FALSE(form->btnTo->ParentFont());
  form->Font()->SetName("Verdana");
  EXPECT_EQ(form->btnTo->Font()->Name(), "Arial");
  form->btnTo->SetParentFont(true);
  EXPECT_EQ(form->btnTo->Font()->Name(), "Verdana");
}

TEST_F(LayoutTest, AFormDesignedAt96PixelsPerInchScalesToTheScreen) {
  ui.Backend().SetScreenPixelsPerInch(144);
  auto form = CreateOwned<TTestForm>(nullptr);
  EXPECT_EQ(form->PixelsPerInch(), 144);
  EXPECT_EQ(form->ClientWidth(), 510);
  EXPECT_EQ(form->ClientHeight(), 380);  // 253 * 1.5, rounded
  EXPECT_EQ(form->Font()->Height(), -17);
  EXPECT_EQ(form->Panel2->Bounds(), (TBounds{12, 84, 482, 218}));
  EXPECT_EQ(form->Panel1->Bounds(), (TBounds{0, 380 - 62, 510, 62}));
  EXPECT_EQ(form->btnCancel->Left() + form->btnCancel->Width(), 510 - 9);
  ui.Resize(*form, 600, 380);
  EXPECT_EQ(form->btnCancel->Left() + form->btnCancel->Width(), 600 - 9);
}

}  // namespace
}  // namespace tvx::test
