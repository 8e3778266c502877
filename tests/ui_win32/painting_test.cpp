// What the windows of our own classes paint, read back pixel by pixel: the form and the panels
// in the button-face colour, a panel's raised outer and lowered inner bevels, and the bevel's
// line along its top edge.
#include <gtest/gtest.h>

#include "dialog_windows.h"

namespace tvx::test {
namespace {

using PaintingTest = DialogWindowsTest;

COLORREF PixelOf(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return color;
}

TEST_F(PaintingTest, FormPanelsAndBevelsPaintTheirColoursAndEdges) {
  TExport1CConfigDlg& dlg = OpenDialog();
  script.Then([&] {
    HWND form = WindowOf(&dlg);
    RedrawWindow(form, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    struct Probe {
      const char* what;
      HWND window;
      int x, y;
      COLORREF color;
    };
    HWND panel2 = WindowOf(dlg.Panel2);
    const Place panel = PlaceOf(panel2);
    const Probe probes[] = {
        {"form background right of the radio buttons", form, 320, 20, face},
        {"panel background right of the history button", panel2, 300, 130, face},
        {"raised outer bevel, top left", panel2, 0, 0, light},
        {"raised outer bevel, bottom right", panel2, panel.width - 1, panel.height - 1, shadow},
        {"lowered inner bevel, top left", panel2, 1, 1, shadow},
        {"lowered inner bevel, bottom right", panel2, panel.width - 2, panel.height - 2, light},
        {"bevel line, shadow", WindowOf(dlg.Bevel1), 10, 0, shadow},
        {"bevel line, light", WindowOf(dlg.Bevel1), 10, 1, light},
        {"bottom panel below the line", WindowOf(dlg.Panel1), 10, 6, face},
    };
    for (const Probe& p : probes) {
      EXPECT_EQ(PixelOf(p.window, p.x, p.y), p.color) << p.what;
    }
    ClickButton(WindowOf(dlg.btnCancel));
  });
  dlg.ShowModal();
}

}  // namespace
}  // namespace tvx::test
