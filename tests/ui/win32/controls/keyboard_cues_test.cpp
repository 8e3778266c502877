// Keyboard cues as a system dialog shows them: a form opened with its focus rectangles and
// mnemonics hidden shows the focus rectangles from the first key that moves the focus, and the
// mnemonics from the first press of Alt; the grid draws its
// focused cell's rectangle only while the cues show it.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "grid_peer_fixture.h"

namespace tvx::test {
namespace {

// Wine keeps no keyboard cues (WM_QUERYUISTATE answers 0 whatever was asked), so the test plays
// Windows' part for the form and its grid: both answer the state the form was last asked to
// take, and the grid hears of a change as WM_UPDATEUISTATE.
class UiStateAsWindowsKeepsIt {
 public:
  UiStateAsWindowsKeepsIt(HWND top, HWND grid) : top_(top), grid_(grid) {
    self_ = this;
    for (HWND window : {top, grid}) {
      procedures_[window] = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
    }
  }
  ~UiStateAsWindowsKeepsIt() {
    for (const auto& [window, old] : procedures_) {
      if (IsWindow(window)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
      }
    }
    self_ = nullptr;
  }
  UiStateAsWindowsKeepsIt(const UiStateAsWindowsKeepsIt&) = delete;
  UiStateAsWindowsKeepsIt& operator=(const UiStateAsWindowsKeepsIt&) = delete;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    UiStateAsWindowsKeepsIt& self = *self_;
    if (message == WM_QUERYUISTATE) return self.state_;
    if (message == WM_CHANGEUISTATE && window == self.top_) {
      const WORD flags = HIWORD(wparam);
      if (LOWORD(wparam) == UIS_SET) self.state_ |= flags;
      if (LOWORD(wparam) == UIS_CLEAR) self.state_ &= static_cast<WORD>(~flags);
      SendMessageW(self.grid_, WM_UPDATEUISTATE, wparam, 0);
      return 0;
    }
    const auto old = self.procedures_.find(window);
    if (old == self.procedures_.end()) return DefWindowProcW(window, message, wparam, lparam);
    return CallWindowProcW(old->second, window, message, wparam, lparam);
  }

  static inline UiStateAsWindowsKeepsIt* self_ = nullptr;
  HWND top_;
  HWND grid_;
  WORD state_ = 0;
  std::map<HWND, WNDPROC> procedures_;
};

class KeyboardCuesTest : public GridWindowTest {
 protected:
  // As after a form opened with the mouse.
  void HideCues() {
    cues_.emplace(HandleOf(form), grid_window);
    SendMessageW(HandleOf(form), WM_CHANGEUISTATE,
                 MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  }
  void TearDown() override {
    cues_.reset();
    GridWindowTest::TearDown();
  }

 private:
  std::optional<UiStateAsWindowsKeepsIt> cues_;
};

WORD HiddenCues(HWND window) {
  return static_cast<WORD>(SendMessageW(window, WM_QUERYUISTATE, 0, 0) &
                           (UISF_HIDEFOCUS | UISF_HIDEACCEL));
}

TEST_F(KeyboardCuesTest, KeysThatMoveTheFocusShowTheFocusAndAltTheMnemonics) {
  Show(20);
  const HWND top = HandleOf(form);
  HideCues();
  ASSERT_EQ(HiddenCues(grid_window), UISF_HIDEFOCUS | UISF_HIDEACCEL);
  FocusGrid();
  // The current cell's focus rectangle is left out while the cues hide it: the cell's top
  // line is the highlight colour throughout.
  const TRect current = grid->CellRect(grid->Row() - grid->TopRow(), 0);
  const RECT top_line{current.left, current.top, current.right, current.top + 1};
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  auto focus_rect_drawn = [&] {
    const Picture picture(grid_window);
    for (int x = top_line.left; x < top_line.right; ++x) {
      if (picture.Pixel(x, top_line.top) != highlight) return true;
    }
    return false;
  };
  EXPECT_FALSE(focus_rect_drawn());

  PressKey(grid_window, kVkUp);
  for (HWND window : {top, grid_window}) EXPECT_EQ(HiddenCues(window), UISF_HIDEACCEL);
  EXPECT_TRUE(focus_rect_drawn());

  // Alt held down (its release alone would open the window menu's loop).
  SendMessageW(grid_window, WM_SYSKEYDOWN, VK_MENU, 0x20000001);
  for (HWND window : {top, grid_window}) EXPECT_EQ(HiddenCues(window), 0);
}

TEST_F(KeyboardCuesTest, KeysThatDoNotMoveTheFocusLeaveTheCuesHidden) {
  Show(20);
  const HWND top = HandleOf(form);
  HideCues();
  FocusGrid();
  TypeText(grid_window, L"x");
  PressKey(grid_window, kVkHome);
  EXPECT_EQ(HiddenCues(top), UISF_HIDEFOCUS | UISF_HIDEACCEL);
}

}  // namespace
}  // namespace tvx::test
