// The module's windows read as a screen reader reads them: walking down from each top-level
// window (AccessibleObjectFromWindow, then AccessibleChildren, recursively), following the focus
// (get_accFocus) and the mouse (accHitTest). Every control of the export options dialog, in
// both its modes, and of the history view is reached, by its role and name: the labels as
// static text, the date fields as editable text named by their labels with the date as value,
// the panels, the group box and the bevel, the buttons, and the grid as a table of rows and
// cells.
//
// Wine has no proxies for system classes (a button answers ROLE_SYSTEM_CLIENT), so those are
// checked by name and window, not by role. Wine 8's window objects (OBJID_WINDOW) are stubs
// without children: where the walk meets one it goes on from the window's client object, which
// is where Windows' window object leads.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dialog_windows.h"
#include "dialogs/export_history_form.h"
#include "rtl/date_format.h"
#include "support/accessible_object.h"
#include "support/options_dialog_layout.h"
#include "ui/win32/backend/win32_api.h"

namespace tvx::test {
namespace {

using win32::Wide;

// One element the walk reached.
struct Reached {
  HWND window = nullptr;
  // The client object of `window`: the element that stands for the window's control (else an
  // element inside it, a grid's row or cell).
  bool stands_for_window = false;
  long role = 0;
  std::wstring name;
  std::wstring value;
  long state = 0;
};

constexpr int kDeepest = 16;

void Visit(Accessible object, int depth, std::vector<Reached>& reached) {
  const bool window_object = object.IsWindowObject();
  object = std::move(object).PastWindowObject();
  ASSERT_TRUE(object);
  ASSERT_LT(depth, kDeepest) << "the walk does not end";
  reached.push_back({object.Window(), window_object, object.Role(), object.Name(), object.Value(),
                     object.State()});
  for (AccessibleAnswer& child : object.Children()) {
    if (child.object) {
      Visit(std::move(child.object), depth + 1, reached);
    } else if (child.id) {
      reached.push_back({object.Window(), false, object.Role(*child.id), object.Name(*child.id),
                         object.Value(*child.id), object.State(*child.id)});
    }
  }
}

// Everything reached from a top-level window, the window's own element first.
std::vector<Reached> Walk(HWND top) {
  std::vector<Reached> reached;
  Visit(Accessible::OfWindow(top, OBJID_WINDOW), 0, reached);
  return reached;
}

// Where get_accFocus leads from an object: through the objects it names to the one that says it
// is itself focused.
Accessible FollowFocus(Accessible object) {
  for (int depth = 0; object && depth < kDeepest; ++depth) {
    AccessibleAnswer focus = object.Focus();
    if (focus.object) {
      object = std::move(focus.object).PastWindowObject();
    } else {
      return focus.id == CHILDID_SELF ? std::move(object) : Accessible();
    }
  }
  return Accessible();
}

// Where accHitTest at a point leads from an object, likewise.
Accessible FollowHit(Accessible object, POINT point) {
  for (int depth = 0; object && depth < kDeepest; ++depth) {
    AccessibleAnswer hit = object.HitTest(point);
    if (hit.object) {
      object = std::move(hit.object).PastWindowObject();
    } else {
      return hit.id == CHILDID_SELF ? std::move(object) : Accessible();
    }
  }
  return Accessible();
}

// The role a reader hears for a control class of the module; 0 for the system's classes, which
// Wine does not answer for.
long RoleOfClass(const std::string& class_name) {
  static const std::map<std::string, long> roles = {
      {"TRadioButton", 0},
      {"TButton", 0},
      {"TPanel", ROLE_SYSTEM_PANE},
      {"TLabel", ROLE_SYSTEM_STATICTEXT},
      {"TGroupBox", ROLE_SYSTEM_GROUPING},
      {"TJvDateEdit", ROLE_SYSTEM_TEXT},
      {"TBevel", ROLE_SYSTEM_SEPARATOR},
      {"TDBGrid", ROLE_SYSTEM_TABLE},
  };
  return roles.at(class_name);
}

// What a reader hears of one control.
struct Heard {
  std::string control;
  std::string class_name;
  std::wstring name;  // "<none>" for none
};

std::wstring Spoken(const std::string& caption) {
  const size_t first = caption.find_first_not_of(' ');
  if (first == std::string::npos) return L"<none>";
  return Wide(caption.substr(first, caption.find_last_not_of(' ') - first + 1));
}

// The options dialog's controls as the layout table has them; a date field is named by the
// label before it.
std::vector<Heard> OptionsDialogHeard() {
  const std::map<std::string, std::wstring> field_labels = {{"eExportFrom", L"с:"},
                                                            {"eExportTo", L"по:"}};
  std::vector<Heard> heard;
  for (const DesignedControl& c : OptionsDialogControls()) {
    const auto label = field_labels.find(c.name);
    heard.push_back(
        {c.name, c.class_name, label != field_labels.end() ? label->second : Spoken(c.caption)});
  }
  return heard;
}

const std::vector<Heard> kHistoryViewHeard = {
    {"Panel1", "TPanel", L"<none>"},
    {"Bevel1", "TBevel", L"<none>"},
    {"btnOK", "TButton", L"Закрыть"},
    // No label before it: named by its form's caption.
    {"DBGrid1", "TDBGrid", L"История экспорта"},
};

// The windows inside a top-level window.
BOOL CALLBACK AddWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::set<HWND>*>(windows)->insert(window);
  return TRUE;
}
std::set<HWND> WindowsInside(HWND top) {
  std::set<HWND> windows;
  EnumChildWindows(top, &AddWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// A point of the control that no window inside it covers: its centre, or for a container whose
// centre a control covers, a point near its lower left corner.
POINT FreePoint(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  POINT inside = centre;
  ScreenToClient(window, &inside);
  if (ChildWindowFromPointEx(window, inside, CWP_SKIPINVISIBLE) == window) return centre;
  return POINT{rect.left + 3, rect.bottom - 3};
}

class ScreenReaderTest : public DialogWindowsTest {
 protected:
  // Walks down from a shown form and checks that every window inside it was reached once, as
  // the element that stands for it, and that each control is heard by its role and name (and a
  // date field with its date as value; `unavailable` lists the controls that say they cannot be
  // used). Prints the number of controls reached.
  void ReadsEveryControl(const TCustomForm& form, const std::vector<Heard>& controls,
                         const std::set<std::string>& unavailable, const char* title) {
    SCOPED_TRACE(title);
    const HWND top = WindowOf(&form);
    const std::vector<Reached> reached = Walk(top);
    ASSERT_FALSE(reached.empty());
    EXPECT_EQ(reached.front().window, top);
    EXPECT_EQ(reached.front().name, Wide(form.Caption()));
    std::map<HWND, const Reached*> standing;
    for (const Reached& r : reached) {
      if (!r.stands_for_window) continue;
      EXPECT_EQ(standing.count(r.window), 0u) << "reached twice: " << TextOf(r.window);
      standing[r.window] = &r;
    }
    std::set<HWND> expected_windows = WindowsInside(top);
    expected_windows.insert(top);
    std::set<HWND> reached_windows;
    for (const auto& [window, element] : standing) reached_windows.insert(window);
    EXPECT_EQ(reached_windows, expected_windows);

    for (const Heard& h : controls) {
      SCOPED_TRACE(h.control);
      const auto* control = form.FindChildControl(h.control);
      ASSERT_NE(control, nullptr);
      const auto found = standing.find(WindowOf(control));
      ASSERT_NE(found, standing.end()) << "not reached";
      const Reached& r = *found->second;
      if (const long role = RoleOfClass(h.class_name); role != 0) {
        EXPECT_EQ(r.role, role);
      }
      EXPECT_EQ(r.name, h.name);
      if (const auto* field = dynamic_cast<const TJvDateEdit*>(control)) {
        EXPECT_EQ(r.value, Wide(DateToStr(field->Date())));
      }
      EXPECT_EQ((r.state & STATE_SYSTEM_UNAVAILABLE) != 0, unavailable.count(h.control) != 0);
    }
    std::printf("[ screen reader ] %s: %zu controls reached (%zu elements)\n", title,
                standing.size() - 1, reached.size());
    std::fflush(stdout);
  }

  // get_accFocus leads to the focused control from the form and from every container around
  // the control; `role` is the role of the element it ends on (0: a system class's).
  void FocusLeadsTo(const TCustomForm& form, TWinControl* control, long role = 0) {
    SCOPED_TRACE(control->Name());
    control->SetFocus();
    ASSERT_EQ(GetFocus(), WindowOf(control));
    for (HWND from = WindowOf(control); from != nullptr; from = GetParent(from)) {
      SCOPED_TRACE(TextOf(from));
      const Accessible focused = FollowFocus(Accessible::OfWindow(from));
      ASSERT_TRUE(focused);
      EXPECT_EQ(focused.Window(), WindowOf(control));
      if (role != 0) {
        EXPECT_EQ(focused.Role(), role);
      }
      if (from == WindowOf(&form)) break;
    }
  }

  // accHitTest from the form at a point of each control that nothing inside it covers leads to
  // the control, enabled or not.
  void HitsReach(const TCustomForm& form, const std::vector<Heard>& controls) {
    for (const Heard& h : controls) {
      SCOPED_TRACE(h.control);
      const HWND window = WindowOf(form.FindChildControl(h.control));
      const Accessible hit = FollowHit(Accessible::OfWindow(WindowOf(&form)), FreePoint(window));
      ASSERT_TRUE(hit);
      EXPECT_EQ(hit.Window(), window);
    }
  }
};

const std::set<std::string> kPanelOfChanges = {"Label1",         "ePreviousExport", "eExportHints",
                                               "btnShowHistory", "GroupBox1",       "Label3",
                                               "eExportFrom",    "Label4",          "eExportTo"};

TEST_F(ScreenReaderTest, ReadsEveryControlOfTheDialogInBothModes) {
  TExport1CConfigDlg& dlg = OpenDialog();
  const std::vector<Heard> controls = OptionsDialogHeard();
  script
      .Then([&] {
        ReadsEveryControl(dlg, controls, {}, "the export options, changes");
        for (TWinControl* control :
             std::vector<TWinControl*>{dlg.eExportChanges, dlg.eExportFrom, dlg.eExportTo,
                                       dlg.btnShowHistory, dlg.btnOK, dlg.btnCancel}) {
          FocusLeadsTo(dlg, control,
                       dynamic_cast<TJvDateEdit*>(control) != nullptr ? ROLE_SYSTEM_TEXT : 0);
        }
        HitsReach(dlg, controls);
        ClickButton(WindowOf(dlg.eExportAll));
      })
      .Then([&] {
        ASSERT_TRUE(dlg.eExportAll->Checked());
        ReadsEveryControl(dlg, controls, kPanelOfChanges, "the export options, all data");
        for (TWinControl* control : std::vector<TWinControl*>{dlg.eExportAll, dlg.btnCancel}) {
          FocusLeadsTo(dlg, control);
        }
        HitsReach(dlg, controls);
      })
      .Then([&] { ClickButton(WindowOf(dlg.btnCancel)); });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_TRUE(script.Done());
}

TEST_F(ScreenReaderTest, ReadsEveryControlOfTheHistoryViewAndTheGridsRowsAndCells) {
  TExport1CConfigDlg& dlg = OpenDialog();
  const TExportHistoryForm* seen = nullptr;
  script.Then([&] { ClickButton(WindowOf(dlg.btnShowHistory)); })
      .When([] { return FindThreadWindow(L"История экспорта") != nullptr; },
            [&] {
              TExportHistoryForm* view = nullptr;
              for (TCustomForm* form : ShownForms()) {
                if (auto* history = dynamic_cast<TExportHistoryForm*>(form)) view = history;
              }
              ASSERT_NE(view, nullptr);
              seen = view;
              // Both of the module's top-level windows: the view, and the dialog under it.
              ReadsEveryControl(*view, kHistoryViewHeard, {}, "the export history");
              ReadsEveryControl(dlg, OptionsDialogHeard(), {}, "the export options under it");

              // The grid's rows and cells, in the walk's order: the title row of column
              // headers, then each shown row with its cells named by their columns.
              const TDBGrid& grid = *view->DBGrid1;
              std::vector<std::wstring> expected = {L"row"};
              std::vector<std::wstring> read;
              for (int column = 0; column < grid.ColumnCount(); ++column) {
                expected.push_back(L"header " + Wide(grid.TitleText(column)));
              }
              for (int row = 0; row < grid.ShownRowCount(); ++row) {
                expected.push_back(L"row");
                for (int column = 0; column < grid.ColumnCount(); ++column) {
                  expected.push_back(L"cell " + Wide(grid.TitleText(column)) + L" = " +
                                     Wide(grid.CellText(grid.TopRow() + row, column)));
                }
              }
              for (const Reached& r : Walk(WindowOf(view))) {
                if (r.window != WindowOf(&grid) || r.stands_for_window) continue;
                if (r.role == ROLE_SYSTEM_COLUMNHEADER) read.push_back(L"header " + r.name);
                if (r.role == ROLE_SYSTEM_ROW) read.push_back(L"row");
                if (r.role == ROLE_SYSTEM_CELL)
                  read.push_back(L"cell " + r.name + L" = " + r.value);
              }
              EXPECT_EQ(grid.ShownRowCount(), 1);
              EXPECT_EQ(read, expected);

              // The focus starts in the grid, on its current cell.
              const Accessible focused = FollowFocus(Accessible::OfWindow(WindowOf(view)));
              ASSERT_TRUE(focused);
              EXPECT_EQ(focused.Window(), WindowOf(&grid));
              EXPECT_EQ(focused.Role(), ROLE_SYSTEM_CELL);
              EXPECT_EQ(focused.Value(), Wide(grid.CellText(grid.Row(), grid.SelectedIndex())));
              FocusLeadsTo(*view, view->btnOK);
              HitsReach(*view, kHistoryViewHeard);
              PostMessageW(WindowOf(view), WM_CLOSE, 0, 0);
            })
      .Then([&] { ClickButton(WindowOf(dlg.btnCancel)); });
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_NE(seen, nullptr);
}

}  // namespace
}  // namespace tvx::test
