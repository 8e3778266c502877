// What the windows of our own classes paint, read back pixel by pixel: the form and the panels
// in the button-face colour, a panel's raised outer and lowered inner bevels, the bevel's line
// along its top edge, and labels whose text ends inside them. The panels and bevels print into a
// bitmap (WM_PRINTCLIENT) what they show on the screen.
#include <gtest/gtest.h>

#include <set>

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

// A pixel of the window's client area as the window prints it into a bitmap of its own.
COLORREF PrintedPixelOf(HWND hwnd, int x, int y) {
  RECT client;
  GetClientRect(hwnd, &client);
  HDC screen = GetDC(hwnd);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(hwnd, screen);
  const HGDIOBJ previous = SelectObject(dc, bitmap);
  SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  const COLORREF color = GetPixel(dc, x, y);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
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
      if (p.window != form) {
        EXPECT_EQ(PrintedPixelOf(p.window, p.x, p.y), p.color) << p.what << ", printed";
      }
    }
    ClickButton(WindowOf(dlg.btnCancel));
  });
  dlg.ShowModal();
}

// An auto-sized label is as wide as its measured text. Its last column stays background (the
// glyphs of these texts end before their advance), and the text is there: a label whose text the
// system draws wider than it measures it would be inked up to its edge, its last character cut.
TEST_F(PaintingTest, LabelsShowTheirWholeTextWithinTheirWidth) {
  TExport1CConfigDlg& dlg = OpenDialog();
  script.Then([&] {
    RedrawWindow(WindowOf(&dlg), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const char* name : {"Label1", "ePreviousExport", "eExportHints", "Label3", "Label4"}) {
      SCOPED_TRACE(name);
      HWND label = WindowOf(dlg.FindChildControl(name));
      const Place place = PlaceOf(label);
      auto inked = [&](int x) {
        for (int y = 0; y < place.height; ++y) {
          if (PixelOf(label, x, y) != face) return true;
        }
        return false;
      };
      int inked_columns = 0;
      for (int x = 0; x < place.width; ++x) inked_columns += inked(x) ? 1 : 0;
      EXPECT_GT(inked_columns, place.width / 3);
      EXPECT_FALSE(inked(place.width - 1)) << "the last character is cut";
    }
    ClickButton(WindowOf(dlg.btnCancel));
  });
  dlg.ShowModal();
}

// In the all-data mode the panel's captions are drawn in the system's grey, the group box's as
// well as the labels', and in the text colour again in the changes mode.
TEST_F(PaintingTest, DisabledCaptionsAreGreyAndEnabledOnesAreNot) {
  TExport1CConfigDlg& dlg = OpenDialog();
  // The colours of the text in the top rows of a window: its caption's line.
  auto caption_colours = [&](TControl* control) {
    HWND hwnd = WindowOf(control);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const Place place = PlaceOf(hwnd);
    std::set<COLORREF> colours;
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < place.width / 2; ++x) colours.insert(PixelOf(hwnd, x, y));
    }
    return colours;
  };
  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  script.Then([&] { ClickButton(WindowOf(dlg.eExportAll)); })
      .Then([&] {
        for (const char* name : {"GroupBox1", "Label1"}) {
          SCOPED_TRACE(name);
          const std::set<COLORREF> colours = caption_colours(dlg.FindChildControl(name));
          EXPECT_TRUE(colours.count(grey));
          EXPECT_FALSE(colours.count(text));
        }
        ClickButton(WindowOf(dlg.eExportChanges));
      })
      .Then([&] {
        for (const char* name : {"GroupBox1", "Label1"}) {
          SCOPED_TRACE(name);
          EXPECT_TRUE(caption_colours(dlg.FindChildControl(name)).count(text));
        }
        ClickButton(WindowOf(dlg.btnCancel));
      });
  dlg.ShowModal();
}

}  // namespace
}  // namespace tvx::test
