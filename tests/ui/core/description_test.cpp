// Forms made from a stored description: controls, their values, nesting and handlers.
#include <gtest/gtest.h>

#include "classes/class_builder.h"
#include "classes/description.h"
#include "test_form.h"
#include "ui_fixture.h"

namespace tvx::test {
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
}  // namespace tvx::test

namespace tvx::test {
namespace {

// Forms described inline: the order of values, Tab orders given out of order, frames.
class TInlineForm : public TForm {
  TVX_DECLARE_CLASS(TInlineForm, TForm)
  explicit TInlineForm(TComponent* owner) : TForm(owner) {}
  TInlineForm(TComponent* owner, TCreateNew create_new) : TForm(owner, create_new) {}

 protected:
  ~TInlineForm() override = default;
};
TVX_IMPLEMENT_CLASS(TInlineForm) {}

// A form class with no description of its own.
class TUndescribedForm : public TForm {
  TVX_DECLARE_CLASS(TUndescribedForm, TForm)
  explicit TUndescribedForm(TComponent* owner) : TForm(owner) {}
  TUndescribedForm(TComponent* owner, TCreateNew create_new) : TForm(owner, create_new) {}

 protected:
  ~TUndescribedForm() override = default;
};
TVX_IMPLEMENT_CLASS(TUndescribedForm) {}

// A form whose description fails half-way, after some of its controls exist.
class TBrokenForm : public TForm {
  TVX_DECLARE_CLASS(TBrokenForm, TForm)
  explicit TBrokenForm(TComponent* owner) : TForm(owner) {}

 protected:
  ~TBrokenForm() override = default;
};
TVX_IMPLEMENT_CLASS(TBrokenForm) {
  c.Description(R"({"class": "TBrokenForm", "children": [
      {"class": "TPanel", "name": "p", "children": [
        {"class": "TButton", "name": "b", "properties": {"Caption": "x"}},
        {"class": "TButton", "name": "c", "properties": {"NoSuchProperty": 1}}]}]})");
}

TOwned<TInlineForm> InlineForm(const char* description) {
  auto form = CreateOwned<TInlineForm>(nullptr, kCreateNew);
  ApplyDescription(form.get(), description);
  return form;
}

TEST_F(DescriptionTest, TabOrdersGivenInAnyOrderAreSettledWhenLoadingEnds) {
  auto form = InlineForm(R"({"class": "TInlineForm", "children": [
      {"class": "TButton", "name": "a", "properties": {"TabOrder": 2}},
      {"class": "TButton", "name": "b", "properties": {"TabOrder": 1}},
      {"class": "TButton", "name": "c", "properties": {"TabOrder": 0}},
      {"class": "TButton", "name": "d"}]})");
  std::vector<std::string> order;
  for (TWinControl* control : form->TabList()) order.push_back(control->Name());
  EXPECT_EQ(order, (std::vector<std::string>{"c", "b", "a", "d"}));
  EXPECT_EQ(form->FindChildControl("A"), form->Controls(0));
}

TEST_F(DescriptionTest, TheClientSizeHoldsWhateverTheOrderOfFrameAndSize) {
  for (const char* description : {
           R"({"class": "TInlineForm", "properties": {"ClientWidth": 340, "ClientHeight": 253,
               "BorderStyle": "bsDialog"}})",
           R"({"class": "TInlineForm", "properties": {"BorderStyle": "bsDialog",
               "ClientHeight": 253, "ClientWidth": 340}})"}) {
    auto form = InlineForm(description);
    EXPECT_EQ(form->ClientSize(), (TSize{340, 253}));
    EXPECT_EQ(form->Width(), 346);  // headless dialog frame: 3 + 3
  }
}

TEST_F(DescriptionTest, AnchoredControlsKeepTheirDistanceWhenTheFrameDiffersFromTheDesign) {
  // Outer size given for a sizeable frame of 8 x 34; the headless frame is the same, so
  // shrink the form afterwards as a thicker frame would.
  auto form = InlineForm(R"({"class": "TInlineForm", "properties": {"Width": 432, "Height": 361},
      "children": [
        {"class": "TPanel", "name": "Panel1", "properties": {"Left": 0, "Top": 286,
         "Width": 424, "Height": 41, "Align": "alBottom"}, "children": [
          {"class": "TButton", "name": "btnOK", "properties": {"Left": 343, "Top": 8,
           "Width": 75, "Height": 25, "Anchors": ["akTop", "akRight"]}}]}]})");
  auto* ok = form->FindChildControl("btnOK");
  EXPECT_EQ(ok->Left(), 343);
  form->SetClientSize(416, 323);
  EXPECT_EQ(form->FindChildControl("Panel1")->Bounds(), (TBounds{0, 282, 416, 41}));
  EXPECT_EQ(ok->Left(), 335);
}

TEST_F(DescriptionTest, AFormClassWithoutADescriptionCannotBeCreated) {
  try {
    Create<TUndescribedForm>(nullptr);
    ADD_FAILURE() << "created";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource not found: TUndescribedForm");
  }
  // Made without one on purpose, it is an empty form; so is a plain TForm.
  EXPECT_EQ(CreateOwned<TUndescribedForm>(nullptr, kCreateNew)->ControlCount(), 0);
  EXPECT_EQ(CreateOwned<TForm>(nullptr)->ControlCount(), 0);
}

TEST_F(DescriptionTest, AFormWhoseDescriptionFailsIsTakenDownWithItsControls) {
  try {
    Create<TBrokenForm>(nullptr);
    ADD_FAILURE() << "created";
  } catch (const EDescriptionError& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuchProperty"), std::string::npos);
  }
}

TEST_F(DescriptionTest, AControlCannotBePlacedInAControlThatHoldsNone) {
  EXPECT_THROW(InlineForm(R"({"class": "TInlineForm", "children": [
      {"class": "TLabel", "name": "l", "children": [{"class": "TButton", "name": "b"}]}]})"),
               EDescriptionError);
}

}  // namespace
}  // namespace tvx::test
