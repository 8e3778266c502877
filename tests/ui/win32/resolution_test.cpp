// The screen's own resolution: the backend reports what GetDeviceCaps gives, and the dialog
// designed at 96 pixels per inch is scaled to it. The test entry that runs at 144 pixels per
// inch sets TAVOLEX_EXPECT_PIXELS_PER_INCH, so that a setting that did not take fails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "dialog_windows.h"
#include "support/options_dialog_layout.h"

namespace tvx::test {
namespace {

using ScreenResolutionTest = DialogWindowsTest;

// Where a control of the options dialog stands at a resolution: both edges of its designed
// place scaled from 96 pixels per inch.
Place DesignedPlaceAt(const char* name, int ppi) {
  const TBounds design = OptionsDialogControl(name).bounds;
  const int left = ::MulDiv(design.left, ppi, 96);
  const int top = ::MulDiv(design.top, ppi, 96);
  return {left, top, ::MulDiv(design.left + design.width, ppi, 96) - left,
          ::MulDiv(design.top + design.height, ppi, 96) - top};
}

int ScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi;
}

TEST_F(ScreenResolutionTest, TheDialogScalesToTheResolutionOfTheScreen) {
  const int screen = ScreenPixelsPerInch();
  if (const char* expected = std::getenv("TAVOLEX_EXPECT_PIXELS_PER_INCH")) {
    ASSERT_EQ(screen, std::atoi(expected)) << "the resolution set for this run did not take";
  }
  EXPECT_EQ(ui.Backend().ScreenPixelsPerInch(), screen);
  TExport1CConfigDlg& dlg = OpenDialog();
  script.Then([&] {
    const Place client = ClientOf(WindowOf(&dlg));
    EXPECT_EQ(client.width, ::MulDiv(340, screen, 96));
    EXPECT_EQ(client.height, ::MulDiv(253, screen, 96));
    EXPECT_EQ(PlaceOf(WindowOf(dlg.btnOK)), DesignedPlaceAt("btnOK", screen));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(WindowOf(dlg.btnOK), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, ::MulDiv(-11, screen, 96));
    // Text measured at this resolution is not the design's text scaled: the label that grows
    // with its text must not run into the previous export's date after it.
    const Place label = PlaceOf(WindowOf(dlg.Label1));
    EXPECT_LT(label.left + label.width, PlaceOf(WindowOf(dlg.ePreviousExport)).left);
    ClickButton(WindowOf(dlg.btnCancel));
  });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
}

// A dialog moved to a monitor of another resolution is laid out anew at it, as on creation,
// and takes the rectangle that the system suggests; moved back, it is as it was.
TEST_F(ScreenResolutionTest, TheDialogFollowsTheResolutionOfTheMonitorItIsMovedTo) {
  const int screen = ScreenPixelsPerInch();
  // Between 96 and 144, whichever the screen is not: layouts at both are the design's scaled.
  const int moved = screen == 144 ? 96 : 144;
  TExport1CConfigDlg& dlg = OpenDialog();
  auto move_to = [&](int ppi) {
    HWND form = WindowOf(&dlg);
    RECT window;
    GetWindowRect(form, &window);
    // As Windows suggests it: the client area scaled, in the frame of the new resolution
    // (which Wine, with one resolution for the whole screen, keeps).
    RECT suggested{0, 0, ::MulDiv(340, ppi, 96), ::MulDiv(253, ppi, 96)};
    AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(form, GWL_EXSTYLE)));
    OffsetRect(&suggested, window.left - suggested.left, window.top - suggested.top);
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(ppi, ppi), reinterpret_cast<LPARAM>(&suggested));
    RECT now;
    GetWindowRect(form, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested)) << "the window is not in the suggested rectangle";
    EXPECT_EQ(dlg.PixelsPerInch(), ppi);
    // The model and the window agree on the client area, the design's scaled.
    const Place client = ClientOf(form);
    EXPECT_EQ(client.width, ::MulDiv(340, ppi, 96));
    EXPECT_EQ(client.height, ::MulDiv(253, ppi, 96));
    EXPECT_EQ(dlg.ClientWidth(), client.width);
    EXPECT_EQ(dlg.ClientHeight(), client.height);
    // The buttons at the scaled design place within their panel, in the scaled font.
    EXPECT_EQ(PlaceOf(WindowOf(dlg.btnOK)), DesignedPlaceAt("btnOK", ppi));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(WindowOf(dlg.btnOK), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, ::MulDiv(-11, ppi, 96));
  };
  script.Then([&] {
    {
      SCOPED_TRACE("moved to " + std::to_string(moved));
      move_to(moved);
    }
    {
      SCOPED_TRACE("moved back to " + std::to_string(screen));
      move_to(screen);
    }
    ClickButton(WindowOf(dlg.btnCancel));
  });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
}

// A dialog whose window opens on a monitor of 144 pixels per inch while the system's resolution
// is 96 is laid out at its window's before it is first shown, not at the system's.
class WindowResolutionTest : public DialogWindowsTest {
 protected:
  WindowResolutionTest() : DialogWindowsTest(96, 144) {}
};

TEST_F(WindowResolutionTest, TheDialogTakesTheResolutionOfTheMonitorItOpensOn) {
  TExport1CConfigDlg& dlg = OpenDialog();
  EXPECT_EQ(dlg.PixelsPerInch(), 96) << "loaded at the system's resolution";
  script.Then([&] {
    EXPECT_EQ(dlg.PixelsPerInch(), 144);
    const Place client = ClientOf(WindowOf(&dlg));
    EXPECT_EQ(client.width, ::MulDiv(340, 144, 96));
    EXPECT_EQ(client.height, ::MulDiv(253, 144, 96));
    EXPECT_EQ(PlaceOf(WindowOf(dlg.btnOK)), DesignedPlaceAt("btnOK", 144));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(WindowOf(dlg.btnOK), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, ::MulDiv(-11, 144, 96));
    ClickButton(WindowOf(dlg.btnCancel));
  });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
}

}  // namespace
}  // namespace tvx::test
