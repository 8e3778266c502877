// The windows follow the control layer's state while a form is shown, and what the user does
// to a window comes back to the control layer: text, bounds, enabled and visible state, a
// label sizing itself, controls placed into or taken out of a shown form, clicks and focus.
#include <gtest/gtest.h>

#include "probe_form.h"
#include "ui/controls/label.h"
#include "win32_fixture.h"

namespace tvx::test {
namespace {

using StateMirroringTest = Win32Test;

TEST_F(StateMirroringTest, WindowsFollowTheControlsState) {
  auto form = CreateOwned<TProbeForm>(nullptr);
  script.Then([&] {
    HWND label = WindowOf(form->label);
    const Place before = PlaceOf(label);
    form->label->SetCaption("A much longer label than before");
    EXPECT_EQ(TextOf(label), "A much longer label than before");
    EXPECT_GT(PlaceOf(label).width, before.width) << "the label sized itself";
    EXPECT_EQ(PlaceOf(label).width, form->label->Width());

    form->inner->SetBounds(20, 44, 120, 30);
    EXPECT_EQ(PlaceOf(WindowOf(form->inner)), (Place{20, 44, 120, 30}));
    form->inner->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(WindowOf(form->inner)));
    form->inner->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(WindowOf(form->inner)));
    form->panel->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(WindowOf(form->panel)));
    EXPECT_FALSE(IsWindowVisible(WindowOf(form->inner))) << "inside a hidden panel";
    form->panel->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(WindowOf(form->inner)));

    form->SetCaption("Renamed");
    EXPECT_EQ(TextOf(WindowOf(form.get())), "Renamed");
    form->SetClientSize(340, 230);
    EXPECT_EQ(ClientOf(WindowOf(form.get())).width, 340);
    EXPECT_EQ(ClientOf(WindowOf(form.get())).height, 230);

    form->first->SetChecked(true);
    EXPECT_EQ(SendMessageW(WindowOf(form->first), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(WindowOf(form->second), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_NE(StyleOf(WindowOf(form->first)) & WS_TABSTOP, 0u);
    EXPECT_EQ(StyleOf(WindowOf(form->second)) & WS_TABSTOP, 0u);
    ClickButton(WindowOf(form->cancel));
  });
  form->ShowModal();
}

TEST_F(StateMirroringTest, AControlPlacedIntoAShownFormTakesItsPlaceInTheTabOrder) {
  auto form = CreateOwned<TProbeForm>(nullptr);
  HWND window = nullptr;
  script
      .Then([&] {
        auto* added = Create<TRadioButton>(form.get());
        added->SetName("third");
        added->SetBounds(100, 8, 100, 17);
        added->SetCaption("Third");
        added->SetParent(form.get());
        window = WindowOf(added);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(GetParent(window), WindowOf(form.get()));
        EXPECT_EQ(GetWindow(WindowOf(form->cancel), GW_HWNDNEXT), window) << "placed last";
        added->SetTabOrder(2);  // right after the other two radio buttons
        PressKey(VK_TAB);
      })
      .Then([&] {
        EXPECT_EQ(GetWindow(WindowOf(form->second), GW_HWNDNEXT), window);
        EXPECT_EQ(StyleOf(window) & WS_GROUP, 0u) << "in the group of the radio buttons before it";
        EXPECT_NE(StyleOf(WindowOf(form->panel)) & WS_GROUP, 0u);
        HWND removed = WindowOf(form->inner);
        form->inner->Free();
        form->inner = nullptr;
        EXPECT_FALSE(IsWindow(removed));
        ClickButton(WindowOf(form->cancel));
      });
  form->ShowModal();
}

// Each change of the Tab order is announced: the windows follow at once, before any key.
TEST_F(StateMirroringTest, TabOrderAndTabStopChangesReachTheWindowsAtOnce) {
  auto form = CreateOwned<TProbeForm>(nullptr);
  script.Then([&] {
    HWND run = WindowOf(form->run);
    HWND cancel = WindowOf(form->cancel);
    ASSERT_EQ(GetWindow(run, GW_HWNDNEXT), cancel);
    form->cancel->SetTabOrder(form->run->TabOrder());
    EXPECT_EQ(GetWindow(cancel, GW_HWNDNEXT), run);
    form->run->SetTabStop(false);
    EXPECT_EQ(StyleOf(run) & WS_TABSTOP, 0u);
    form->run->SetTabStop(true);
    EXPECT_NE(StyleOf(run) & WS_TABSTOP, 0u);
    // A radio button after the panel starts a group of its own; once the panel is taken out
    // it belongs to the group before it.
    form->second->SetTabOrder(form->panel->TabOrder());
    EXPECT_NE(StyleOf(WindowOf(form->second)) & WS_GROUP, 0u);
    HWND panel = WindowOf(form->panel);
    form->panel->Free();
    form->panel = nullptr;
    form->inner = nullptr;
    form->label = nullptr;
    EXPECT_FALSE(IsWindow(panel));
    EXPECT_EQ(StyleOf(WindowOf(form->second)) & WS_GROUP, 0u);
    ClickButton(cancel);
  });
  form->ShowModal();
}

TEST_F(StateMirroringTest, ClicksAndTheFocusComeBackToTheControlLayer) {
  auto form = CreateOwned<TProbeForm>(nullptr);
  script.Then([&] {
    EXPECT_EQ(form->ActiveControl(), form->second);
    EXPECT_EQ(GetFocus(), WindowOf(form->second));
    ClickButton(WindowOf(form->inner));
    EXPECT_EQ(form->ActiveControl(), form->inner) << "a click moves the focus";
    EXPECT_EQ(GetFocus(), WindowOf(form->inner));
    SetFocus(WindowOf(form->run));
    EXPECT_EQ(form->ActiveControl(), form->run) << "the system moved the focus";
    ClickButton(WindowOf(form->first));
    EXPECT_TRUE(form->first->Checked());
    EXPECT_FALSE(form->second->Checked());
    HWND label = WindowOf(form->label);
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(label, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(form->label_clicks, 1);
    ClickButton(WindowOf(form->cancel));
  });
  form->ShowModal();
}

}  // namespace
}  // namespace tvx::test
