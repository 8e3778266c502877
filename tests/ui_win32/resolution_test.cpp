// The screen's own resolution: the backend reports what GetDeviceCaps gives, and the dialog
// designed at 96 pixels per inch is scaled to it. The test entry that runs at 144 pixels per
// inch sets TAVOLEX_EXPECT_PIXELS_PER_INCH, so that a setting that did not take fails.
#include <gtest/gtest.h>

#include <cstdlib>

#include "dialog_windows.h"

namespace tvx::test {
namespace {

using ScreenResolutionTest = DialogWindowsTest;

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
    const int left = ::MulDiv(179, screen, 96);
    const int top = ::MulDiv(8, screen, 96);
    EXPECT_EQ(PlaceOf(WindowOf(dlg.btnOK)), (Place{left, top, ::MulDiv(179 + 75, screen, 96) - left,
                                                   ::MulDiv(8 + 25, screen, 96) - top}));
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

}  // namespace
}  // namespace tvx::test
