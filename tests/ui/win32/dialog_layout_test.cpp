// The windows of the export options dialog and the history view, read back from Windows: each
// control's window class, text, place in its parent and font, the frames, the style bits that
// decide keyboard navigation, and the order of sibling windows; at the design resolution and
// at 144 pixels per inch, to which everything scales.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "dialog_windows.h"
#include "dialogs/export_history_form.h"
#include "support/options_dialog_layout.h"

namespace tvx::test {
namespace {

// A length or a place at the design resolution of 96 pixels per inch, on a screen of `ppi`:
// both edges scale, so neighbouring controls stay neighbours.
int Scaled(int value, int ppi) { return ::MulDiv(value, ppi, 96); }
Place Scaled(Place p, int ppi) {
  const int left = Scaled(p.left, ppi);
  const int top = Scaled(p.top, ppi);
  return Place{left, top, Scaled(p.left + p.width, ppi) - left,
               Scaled(p.top + p.height, ppi) - top};
}

// The size of a line of text in the font that a window draws with.
SIZE TextExtent(HWND hwnd) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  const std::wstring text = win32::WindowText(hwnd);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(hwnd, dc);
  return size;
}

LOGFONTW FontOf(HWND hwnd) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

// The child windows of a window, in their order (top of the z-order first).
std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND hwnd = GetWindow(parent, GW_CHILD); hwnd != nullptr;
       hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    children.push_back(hwnd);
  }
  return children;
}

// The window class of a control's peer; null where the peer decides it (a date field).
const char* WindowClassOf(std::string_view control_class) {
  struct Class {
    std::string_view control;
    const char* window;
  };
  static constexpr Class kClasses[] = {
      {"TRadioButton", "Button"}, {"TButton", "Button"},      {"TGroupBox", "Button"},
      {"TPanel", "TavolexPanel"}, {"TLabel", "TavolexLabel"}, {"TBevel", "TavolexBevel"},
  };
  for (const Class& c : kClasses) {
    if (c.control == control_class) return c.window;
  }
  return nullptr;
}

class DialogLayoutTest : public DialogWindowsTest, public ::testing::WithParamInterface<int> {
 protected:
  DialogLayoutTest() : DialogWindowsTest(GetParam()) {}
  int ppi() const { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Resolutions, DialogLayoutTest, ::testing::Values(96, 144),
                         [](const auto& info) { return std::to_string(info.param) + "ppi"; });

TEST_P(DialogLayoutTest, OptionsDialogControlsAreTheWindowsOfTheTable) {
  TExport1CConfigDlg& dlg = OpenDialog();
  script.Then([&] {
    for (const DesignedControl& c : OptionsDialogControls()) {
      SCOPED_TRACE(c.name);
      HWND hwnd = WindowOf(dlg.FindChildControl(c.name));
      ASSERT_NE(hwnd, nullptr);
      // A date field's window shows the date, in a class its peer decides.
      if (const char* window_class = WindowClassOf(c.class_name)) {
        EXPECT_EQ(ClassOf(hwnd), window_class);
        EXPECT_EQ(TextOf(hwnd), c.caption);
      }
      Place expected =
          Scaled(Place{c.bounds.left, c.bounds.top, c.bounds.width, c.bounds.height}, ppi());
      if (std::string_view(c.class_name) == "TLabel") {
        const SIZE text = TextExtent(hwnd);
        expected.width = text.cx;
        expected.height = text.cy;
      }
      // Where Label1's text, measured at this resolution, would run into the date after it,
      // the date stands the design's gap after the label.
      if (std::string(c.name) == "ePreviousExport") {
        const Place label = PlaceOf(WindowOf(dlg.Label1));
        if (label.left + label.width > expected.left) {
          expected.left = label.left + label.width + Scaled(6, ppi());
        }
      }
      EXPECT_EQ(PlaceOf(hwnd), expected);
      EXPECT_TRUE(IsWindowVisible(hwnd));
      EXPECT_TRUE(IsWindowEnabled(hwnd));
      const LOGFONTW font = FontOf(hwnd);
      EXPECT_EQ(win32::Narrow(font.lfFaceName), "Tahoma");
      EXPECT_EQ(font.lfHeight, Scaled(-11, ppi()));
      EXPECT_EQ(font.lfWeight, std::string(c.name) == "ePreviousExport" ? FW_BOLD : FW_NORMAL);
    }
    ClickButton(WindowOf(dlg.btnCancel));
  });
  dlg.ShowModal();
}

TEST_P(DialogLayoutTest, OptionsDialogHasAFixedDialogFrameCentredAndOwnedByTheApplication) {
  TExport1CConfigDlg& dlg = OpenDialog();
  script.Then([&] {
    HWND hwnd = WindowOf(&dlg);
    EXPECT_EQ(ClassOf(hwnd), "TavolexForm");
    EXPECT_EQ(TextOf(hwnd), "Экспорт данных");
    const DWORD style = StyleOf(hwnd);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    EXPECT_NE(ExStyleOf(hwnd) & WS_EX_DLGMODALFRAME, 0u);
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), owner);
    const Place client = ClientOf(hwnd);
    EXPECT_EQ(client.width, Scaled(340, ppi()));
    EXPECT_EQ(client.height, Scaled(253, ppi()));
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const Place outer = PlaceOf(hwnd);
    EXPECT_LE(std::abs((outer.left - area.left) - (area.right - outer.left - outer.width)), 1);
    EXPECT_LE(std::abs((outer.top - area.top) - (area.bottom - outer.top - outer.height)), 1);
    ClickButton(WindowOf(dlg.btnCancel));
  });
  dlg.ShowModal();
}

TEST_P(DialogLayoutTest, OptionsDialogStylesGiveTheKeyboardNavigationOfTheControlLayer) {
  TExport1CConfigDlg& dlg = OpenDialog();
  struct StyleCase {
    const char* name;
    bool tab_stop;
    bool group;
  };
  const StyleCase cases[] = {
      {"eExportAll", false, true},      // first of the radio group; not checked
      {"eExportChanges", true, false},  // in the group; the checked one is its tab stop
      {"Panel2", false, true},         {"GroupBox1", false, true}, {"btnShowHistory", true, true},
      {"Panel1", false, true},         {"btnOK", true, true},      {"btnCancel", true, true},
  };
  script.Then([&] {
    for (const StyleCase& c : cases) {
      SCOPED_TRACE(c.name);
      const DWORD style = StyleOf(WindowOf(dlg.FindChildControl(c.name)));
      EXPECT_EQ((style & WS_TABSTOP) != 0, c.tab_stop);
      EXPECT_EQ((style & WS_GROUP) != 0, c.group);
    }
    for (const char* name : {"btnShowHistory", "btnOK", "btnCancel"}) {
      SCOPED_TRACE(name);
      EXPECT_EQ(StyleOf(WindowOf(dlg.FindChildControl(name))) & BS_TYPEMASK,
                static_cast<DWORD>(BS_PUSHBUTTON))
          << "no default button";
    }
    for (const char* name : {"eExportAll", "eExportChanges"}) {
      SCOPED_TRACE(name);
      EXPECT_EQ(StyleOf(WindowOf(dlg.FindChildControl(name))) & BS_TYPEMASK,
                static_cast<DWORD>(BS_RADIOBUTTON));
    }
    EXPECT_EQ(SendMessageW(WindowOf(dlg.eExportAll), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(WindowOf(dlg.eExportChanges), BM_GETCHECK, 0, 0), BST_CHECKED);
    ClickButton(WindowOf(dlg.btnCancel));
  });
  dlg.ShowModal();
}

TEST_P(DialogLayoutTest, SiblingWindowsAreInTabOrderWithLabelsAndBevelsLast) {
  TExport1CConfigDlg& dlg = OpenDialog();
  struct OrderCase {
    const char* parent;
    std::vector<std::string> children;
  };
  const OrderCase cases[] = {
      {"", {"eExportAll", "eExportChanges", "Panel2", "Panel1"}},
      {"Panel2", {"GroupBox1", "btnShowHistory", "Label1", "ePreviousExport", "eExportHints"}},
      {"GroupBox1", {"eExportTo", "eExportFrom", "Label3", "Label4"}},
      {"Panel1", {"btnOK", "btnCancel", "Bevel1"}},
  };
  script.Then([&] {
    for (const OrderCase& c : cases) {
      SCOPED_TRACE(c.parent);
      const TControl* parent = *c.parent != 0 ? dlg.FindChildControl(c.parent) : &dlg;
      std::vector<std::string> names;
      for (HWND child : ChildrenOf(WindowOf(parent))) names.push_back(ControlNameOf(child, dlg));
      EXPECT_EQ(names, c.children);
    }
    ClickButton(WindowOf(dlg.btnCancel));
  });
  dlg.ShowModal();
}

TEST_P(DialogLayoutTest, HistoryViewFillsItsResizableFrameAndKeepsCloseAtTheRightEdge) {
  TExport1CConfigDlg& dlg = OpenDialog();
  auto view = CreateOwned<TExportHistoryForm>(nullptr);
  view->SetDataSet(dlg.cdsExportHistory);
  script.Then([&] {
    HWND hwnd = WindowOf(view.get());
    EXPECT_EQ(TextOf(hwnd), "История экспорта");
    const DWORD style = StyleOf(hwnd);
    const DWORD sizeable =
        WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    EXPECT_EQ(style & sizeable, sizeable);
    EXPECT_EQ(ExStyleOf(hwnd) & WS_EX_DLGMODALFRAME, 0u);
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), owner);
    if (ppi() == 96) {
      EXPECT_EQ(PlaceOf(hwnd).width, 432);
      EXPECT_EQ(PlaceOf(hwnd).height, 361);
    }
    EXPECT_EQ(GetFocus(), WindowOf(view->DBGrid1)) << "the grid has the focus at first";
    EXPECT_EQ(TextOf(WindowOf(view->btnOK)), "Закрыть");

    // Design: a 41-pixel panel at the bottom, "Закрыть" 6 pixels from the right edge. Both
    // edges of a control scale, so the panel's height follows from where it stood at 96.
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, ExStyleOf(hwnd));
    const int design_client_height = 361 - (frame.bottom - frame.top);
    const int panel_height =
        Scaled(design_client_height, ppi()) - Scaled(design_client_height - 41, ppi());
    auto check = [&](const char* when) {
      SCOPED_TRACE(when);
      const Place client = ClientOf(hwnd);
      EXPECT_EQ(PlaceOf(WindowOf(view->DBGrid1)),
                (Place{0, 0, client.width, client.height - panel_height}));
      EXPECT_EQ(PlaceOf(WindowOf(view->Panel1)),
                (Place{0, client.height - panel_height, client.width, panel_height}));
      const Place button = PlaceOf(WindowOf(view->btnOK));
      EXPECT_EQ(client.width - button.left - button.width, Scaled(424, ppi()) - Scaled(418, ppi()));
      EXPECT_EQ(button.top, Scaled(8, ppi()));
      EXPECT_EQ(button.width, Scaled(418, ppi()) - Scaled(343, ppi()));
    };
    check("as opened");
    const Place outer = PlaceOf(hwnd);
    SetWindowPos(hwnd, nullptr, outer.left, outer.top, outer.width + 150, outer.height + 90,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    check("resized by the user");
    EXPECT_EQ(PlaceOf(hwnd).left, outer.left) << "the window stays where it is";
    ClickButton(WindowOf(view->btnOK));
  });
  EXPECT_EQ(view->ShowModal(), mrOk);
}

}  // namespace
}  // namespace tvx::test
