// Focus and the Tab order across nested parents; the radio group's behaviour and its single
// Tab stop; keys the focused control does not use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/class_builder.h"
#include "rtl/exceptions.h"
#include "test_form.h"
#include "ui_fixture.h"

namespace tvx::test {
namespace {

class FocusTest : public UiTest {
 protected:
  FocusTest() : form(CreateOwned<TTestForm>(nullptr)) {}

  std::string FocusedName() {
    TWinControl* focused = ui.Focused();
    return focused != nullptr ? focused->Name() : std::string("(form)");
  }

  // The controls that Tab (or Shift+Tab) visits, starting after the focused one.
  std::vector<std::string> Walk(int presses, ShiftState shift = kNoShift) {
    std::vector<std::string> names;
    for (int i = 0; i < presses; ++i) {
      ui.Press(kVkTab, shift);
      names.push_back(FocusedName());
    }
    return names;
  }

  TOwned<TTestForm> form;
};

TEST_F(FocusTest, ShownFormFocusesTheCheckedRadioButtonAndTabFollowsNestedOrder) {
  form->Show();
  EXPECT_EQ(FocusedName(), "rbChanges");
  EXPECT_TRUE(form->rbChanges->Focused());
  // Within the group box the description puts To before From.
  EXPECT_EQ(Walk(6), (std::vector<std::string>{"btnTo", "btnFrom", "btnHistory", "btnOK",
                                               "btnCancel", "rbChanges"}));
  EXPECT_EQ(Walk(3, kShift), (std::vector<std::string>{"btnCancel", "btnOK", "btnHistory"}));
}

TEST_F(FocusTest, UnreachableParentsAndNonTabStopsAreSkipped) {
  struct Case {
    const char* what;
    std::function<void(TTestForm&)> change;
    std::vector<std::string> walk;
  };
  const std::vector<Case> cases = {
      {"disabled group box",
       [](TTestForm& f) { f.GroupBox1->SetEnabled(false); },
       {"btnHistory", "btnOK", "btnCancel", "rbChanges"}},
      {"hidden panel",
       [](TTestForm& f) { f.Panel2->SetVisible(false); },
       {"btnOK", "btnCancel", "rbChanges"}},
      {"disabled button",
       [](TTestForm& f) { f.btnOK->SetEnabled(false); },
       {"btnTo", "btnFrom", "btnHistory", "btnCancel", "rbChanges"}},
      {"no tab stop",
       [](TTestForm& f) { f.btnHistory->SetTabStop(false); },
       {"btnTo", "btnFrom", "btnOK", "btnCancel", "rbChanges"}},
      {"disabled outer panel",
       [](TTestForm& f) { f.Panel1->SetEnabled(false); },
       {"btnTo", "btnFrom", "btnHistory", "rbChanges"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto f = CreateOwned<TTestForm>(nullptr);
    c.change(*f);
    f->Show();
    ASSERT_EQ(FocusedName(), "rbChanges");
    EXPECT_EQ(Walk(static_cast<int>(c.walk.size())), c.walk);
    f->Hide();
  }
}

TEST_F(FocusTest, ControlsInsideADisabledParentKeepTheirStateButCannotTakeTheFocus) {
  form->Show();
  form->GroupBox1->SetEnabled(false);
  EXPECT_TRUE(form->btnFrom->Enabled());
  EXPECT_FALSE(form->btnFrom->CanFocus());
  EXPECT_FALSE(form->btnFrom->Reachable());
  EXPECT_THROW(form->btnFrom->SetFocus(), EInvalidOperation);
  EXPECT_FALSE(ui.TryClick(*form->btnFrom));
  form->GroupBox1->SetEnabled(true);
  EXPECT_TRUE(form->btnFrom->CanFocus());
}

TEST_F(FocusTest, DisablingOrHidingTheFocusedControlsParentLeavesTheFormWithoutFocus) {
  for (bool hide : {false, true}) {
    SCOPED_TRACE(hide ? "hidden" : "disabled");
    auto f = CreateOwned<TTestForm>(nullptr);
    f->Show();
    f->btnFrom->SetFocus();
    if (hide) {
      f->Panel2->SetVisible(false);
    } else {
      f->Panel2->SetEnabled(false);
    }
    EXPECT_EQ(f->ActiveControl(), nullptr);
    ui.Press(kVkTab);
    EXPECT_EQ(FocusedName(), "rbChanges");
    f->Hide();
  }
}

TEST_F(FocusTest, FocusChangesAreRecordedWithFormAndControl) {
  form->Show();
  ui.Click(*form->btnHistory);
  ui.Press(kVkTab);
  const std::vector<headless::FocusRecord> expected = {
      {"TestForm", "rbChanges"}, {"TestForm", "btnHistory"}, {"TestForm", "btnOK"}};
  EXPECT_EQ(ui.FocusChanges(), expected);
}

TEST_F(FocusTest, ActiveControlSetBeforeShowingTakesTheFocusWhenItCan) {
  form->SetActiveControl(form->btnCancel);
  form->Show();
  EXPECT_EQ(FocusedName(), "btnCancel");
  form->Hide();
  form->Panel1->SetEnabled(false);
  form->Show();
  EXPECT_EQ(FocusedName(), "rbChanges");
}

TEST_F(FocusTest, SettingActiveControlToAControlOfAnotherFormFails) {
  auto other = CreateOwned<TTestForm>(nullptr);
  EXPECT_THROW(form->SetActiveControl(other->btnOK), EInvalidOperation);
}

TEST_F(FocusTest, CheckingOneRadioButtonClearsTheOtherAndMovesTheTabStop) {
  form->Show();
  EXPECT_TRUE(form->rbChanges->IsTabStop());
  EXPECT_FALSE(form->rbAll->IsTabStop());

  ui.Click(*form->rbAll);
  EXPECT_TRUE(form->rbAll->Checked());
  EXPECT_FALSE(form->rbChanges->Checked());
  EXPECT_EQ(form->all_clicks, 1);
  EXPECT_EQ(form->changes_clicks, 0);
  EXPECT_EQ(FocusedName(), "rbAll");
  EXPECT_TRUE(form->rbAll->TabStop());
  EXPECT_FALSE(form->rbChanges->TabStop());

  // Clicking the checked one again changes nothing and fires nothing.
  ui.Click(*form->rbAll);
  EXPECT_EQ(form->all_clicks, 1);

  // Tab leaves the group; Shift+Tab from the next control comes back to the checked one only.
  ui.Press(kVkTab);
  EXPECT_EQ(FocusedName(), "btnTo");
  ui.Press(kVkTab, kShift);
  EXPECT_EQ(FocusedName(), "rbAll");
}

TEST_F(FocusTest, CheckingByCodeFiresOnClickOnlyWhenTheButtonBecomesChecked) {
  form->rbAll->SetChecked(true);
  form->rbAll->SetChecked(true);
  form->rbChanges->SetChecked(true);
  EXPECT_EQ(form->all_clicks, 1);
  EXPECT_EQ(form->changes_clicks, 1);
  EXPECT_FALSE(form->rbAll->Checked());
}

TEST_F(FocusTest, ArrowKeysMoveWithinTheRadioGroupAndCheck) {
  form->Show();
  ui.Press(kVkUp);
  EXPECT_EQ(FocusedName(), "rbAll");
  EXPECT_TRUE(form->rbAll->Checked());
  ui.Press(kVkDown);
  EXPECT_EQ(FocusedName(), "rbChanges");
  EXPECT_TRUE(form->rbChanges->Checked());
  EXPECT_EQ(form->all_clicks, 1);
  EXPECT_EQ(form->changes_clicks, 1);
}

TEST_F(FocusTest, AGroupWithNothingCheckedIsReachedAtItsFirstButton) {
  form->rbChanges->SetChecked(false);
  form->Show();
  EXPECT_EQ(FocusedName(), "rbAll");
  form->rbAll->SetEnabled(false);
  EXPECT_TRUE(form->rbChanges->IsTabStop());
}

TEST_F(FocusTest, EnterAndEscapeClickOnlyDefaultAndCancelButtons) {
  int ok_clicks = 0;
  form->on_ok = [&](TTestForm&) { ++ok_clicks; };
  form->Show();
  ui.Press(kVkReturn);
  ui.Press(kVkEscape);
  EXPECT_EQ(ok_clicks, 0);
  EXPECT_EQ(form->ModalResult(), mrNone);

  form->btnOK->SetDefault(true);
  form->btnCancel->SetCancel(true);
  ui.Press(kVkReturn);
  EXPECT_EQ(ok_clicks, 1);
  ui.Press(kVkEscape);
  EXPECT_EQ(form->ModalResult(), mrCancel);

  // A disabled default button is not clicked.
  form->btnOK->SetEnabled(false);
  ui.Press(kVkReturn);
  EXPECT_EQ(ok_clicks, 1);
}

TEST_F(FocusTest, AFocusedButtonTakesSpaceAndEnter) {
  int ok_clicks = 0;
  form->on_ok = [&](TTestForm&) { ++ok_clicks; };
  form->Show();
  form->btnOK->SetFocus();
  ui.Press(kVkSpace);
  ui.Press(kVkReturn);
  EXPECT_EQ(ok_clicks, 2);
}

// A field that uses some keys itself and refuses to be left while it holds "bad".
class TProbeField : public TWinControl {
  TVX_DECLARE_CLASS(TProbeField, TWinControl)
  explicit TProbeField(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
  bool FocusOnClick() const override { return true; }
  bool DoKeyDown(KeyCode key, ShiftState shift) override {
    keys.push_back(key);
    return key == kVkTab && shift.ctrl;  // Ctrl+Tab is the field's own
  }
  bool DoText(const std::string& text) override {
    SetCaption(Caption() + text);
    return true;
  }
  void DoExit() override {
    if (Caption() == "bad") {
      SetFocus();
      throw EConvertError("'bad' is not a valid date");
    }
  }
  std::vector<KeyCode> keys;

 protected:
  ~TProbeField() override = default;
};
TVX_IMPLEMENT_CLASS(TProbeField) {}

TEST_F(FocusTest, TheFocusedControlSeesKeysAndTextFirst) {
  auto* field = Create<TProbeField>(form.get());
  field->SetParent(form.get());
  form->SetActiveControl(field);
  form->Show();
  ui.Type("ab");
  ui.Press(kVkTab, kCtrl);
  ui.Press(kVkDown, kAlt);
  EXPECT_EQ(field->Caption(), "ab");
  EXPECT_EQ(field->keys, (std::vector<KeyCode>{kVkTab, kVkDown}));
  EXPECT_TRUE(field->Focused());
  ui.Press(kVkTab);
  EXPECT_EQ(FocusedName(), "rbChanges");
}

TEST_F(FocusTest, AFieldThatRefusesToBeLeftKeepsTheFocusAndTheClickDoesNotHappen) {
  int ok_clicks = 0;
  form->on_ok = [&](TTestForm&) { ++ok_clicks; };
  auto* field = Create<TProbeField>(form.get());
  field->SetName("eDate");
  field->SetParent(form.get());
  form->SetActiveControl(field);
  form->Show();
  ui.Type("bad");
  ui.AnswerBox(mrOk);
  ui.Click(*form->btnOK);
  EXPECT_EQ(ok_clicks, 0);
  EXPECT_TRUE(field->Focused());
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "'bad' is not a valid date.");
  EXPECT_EQ(ui.Boxes()[0].kind, TMsgDlgType::mtError);

  field->SetCaption("");
  ui.Click(*form->btnOK);
  EXPECT_EQ(ok_clicks, 1);
  EXPECT_EQ(FocusedName(), "btnOK");
}

}  // namespace
}  // namespace tvx::test
