// The manifest that asks for version 6 of the common controls travels with the program that
// links the backend, and the backend's buttons are version 6 buttons (which answer
// BCM_GETIDEALSIZE; the system's older buttons do not).
#include <gtest/gtest.h>

#include "probe_form.h"
#include "win32_fixture.h"

// After windows.h, which the fixture brings.
#include <commctrl.h>

namespace tvx::test {
namespace {

using VisualStylesTest = Win32Test;

TEST_F(VisualStylesTest, TheManifestIsAResourceAndTheButtonsAreVersion6Controls) {
  EXPECT_NE(FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24)),
            nullptr);
  EXPECT_TRUE(ui.Backend().Styles().Active());
  auto form = CreateOwned<TProbeForm>(nullptr);
  LRESULT v6 = 0;
  script.Then([&] {
    SIZE ideal{};
    v6 = SendMessageW(WindowOf(form->run), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    ClickButton(WindowOf(form->cancel));
  });
  form->ShowModal();
  EXPECT_NE(v6, 0);
  // Outside the backend's activation context the same class is the system's older button.
  HWND plain = CreateWindowExW(0, L"BUTTON", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  SIZE ideal{};
  EXPECT_EQ(SendMessageW(plain, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)), 0);
  DestroyWindow(plain);
}

}  // namespace
}  // namespace tvx::test
