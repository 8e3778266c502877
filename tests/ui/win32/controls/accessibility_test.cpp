// What a screen reader learns of the module's windows, asked as one asks: through
// AccessibleObjectFromWindow on the real windows, and from the events the windows raise. Labels
// are static text, a date field is editable text named by the label before it with the date as
// its value, a group box is a grouping named by its caption whose children are the windows in
// it, and the grid is a table of rows and cells whose current cell is focused and selected, and
// announced as it moves, and whose changes of rows and cells are announced. A fault below an
// accessible object reaches the reader as a failure code.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "grid_peer_fixture.h"
#include "rtl/exceptions.h"
#include "support/accessible_object.h"
#include "support/options_dialog_layout.h"
#include "ui/controls/bevel.h"
#include "ui/controls/date_edit.h"
#include "ui/controls/group_box.h"
#include "ui/controls/label.h"
#include "ui/controls/panel.h"

namespace tvx::test {
namespace {

// The events raised in this process, as an out-of-context hook receives them while the
// thread handles its messages.
struct Event {
  DWORD event;
  HWND window;
  LONG object;
  LONG child;
};
std::vector<Event>* g_events = nullptr;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
  if (g_events != nullptr && object == OBJID_CLIENT)
    g_events->push_back({event, window, object, child});
}

// Raised by the test after an action: every event of the action has come once it has.
constexpr DWORD kMarkerEvent = EVENT_OBJECT_HELPCHANGE;

// A date-time field whose display texts can be made to fail, as a field of a damaged record
// would: what the grid's cells show throws.
class FailingDateTimeField : public TDateTimeField {
 public:
  using TDateTimeField::TDateTimeField;
  bool failing = false;

 protected:
  std::string TextOf(uint32_t row) const override {
    if (failing) throw EDatabaseError("The value cannot be read");
    return TDateTimeField::TextOf(row);
  }
};

class AccessibilityTest : public GridWindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    GridWindowTest::SetUp();
    // The grid stands below the export options' group, which stands at the form's top, its
    // labels and fields inside it as the options dialog has them.
    grid->SetBounds(0, 120, 424, 160);
    const TBounds group = OptionsDialogControl("GroupBox1").bounds;
    box = Place<TGroupBox>("GroupBox1", group.left, 8, group.width, group.height);
    box->SetCaption("Экспортировать данные");
    from_label = Inside<TLabel>("Label3");
    from_label->SetCaption("с: ");
    from = Inside<TJvDateEdit>("eExportFrom");
    from->SetDate(At(2026, 11, 1));
    to_label = Inside<TLabel>("Label4");
    to_label->SetCaption("по:");
    to = Inside<TJvDateEdit>("eExportTo");
    to->SetDate(At(2026, 11, 30));
    // The last column's field can be made to fail.
    cds->FieldByName("EXPORT_TO")->SetDataSet(nullptr);
    failing_field = AddField<FailingDateTimeField>("EXPORT_TO");
    panel = Place<TPanel>("Panel1", 330, 8, 80, 40);
    panel->SetCaption("Итого");
    bevel = Place<TBevel>("Bevel1", 330, 60, 80, 2);
    form->SetCaption("История экспорта");
  }

  void TearDown() override {
    StopEvents();
    GridWindowTest::TearDown();
    OleUninitialize();
  }

  // A control of the options dialog's group box, in the box where the dialog places it.
  template <class T>
  T* Inside(const std::string& name) {
    const TBounds design = OptionsDialogControl(name).bounds;
    T* control = Create<T>(form);
    control->SetName(name);
    control->SetBounds(design.left, design.top, design.width, design.height);
    control->SetParent(box);
    return control;
  }

  void StartEvents() {
    g_events = &events;
    hook = SetWinEventHook(EVENT_OBJECT_REORDER, kMarkerEvent, nullptr, &RecordEvent,
                           GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
  }
  void StopEvents() {
    if (hook != nullptr) UnhookWinEvent(hook);
    hook = nullptr;
    g_events = nullptr;
  }
  // Whether an event for the window's element came (handling messages for a while, as the
  // hook's calls arrive as messages).
  bool Raised(DWORD event, HWND window, LONG child) {
    for (int i = 0; i < 100; ++i) {
      Pump();
      for (const Event& e : events) {
        if (e.event == event && e.window == window && e.child == child) return true;
      }
      Sleep(10);
    }
    return false;
  }

  // The events for the window's elements that an action raises: those that come before a
  // marker event raised after it.
  std::vector<Event> EventsOf(const std::function<void()>& action, HWND window) {
    Pump();
    events.clear();
    action();
    NotifyWinEvent(kMarkerEvent, window, OBJID_CLIENT, CHILDID_SELF);
    std::vector<Event> raised;
    for (int i = 0; i < 200; ++i) {
      Pump();
      const auto marker = std::find_if(events.begin(), events.end(), [&](const Event& e) {
        return e.event == kMarkerEvent && e.window == window;
      });
      if (marker != events.end()) {
        std::copy_if(events.begin(), marker, std::back_inserter(raised),
                     [&](const Event& e) { return e.window == window; });
        return raised;
      }
      Sleep(10);
    }
    ADD_FAILURE() << "the marker event did not come";
    return raised;
  }

  // The element id of a grid row: its place among the children (the title row first).
  long RowId(int rec_no) const { return 1 + (rec_no - grid->TopRow()) + 1; }
  // The element id of a grid cell: its row's and its column's.
  long CellId(int rec_no, int column) const { return (RowId(rec_no) << 12) | (column + 1); }

  TGroupBox* box = nullptr;
  TLabel* from_label = nullptr;
  TLabel* to_label = nullptr;
  TJvDateEdit* from = nullptr;
  TJvDateEdit* to = nullptr;
  TPanel* panel = nullptr;
  TBevel* bevel = nullptr;
  FailingDateTimeField* failing_field = nullptr;
  std::vector<Event> events;
  HWINEVENTHOOK hook = nullptr;
};

TEST_F(AccessibilityTest, EachClassAnswersWithItsRoleNameAndValue) {
  Show(5);
  struct Case {
    const TControl* control;
    long role;
    std::wstring name;
    std::wstring value;
  };
  const Case cases[] = {
      {from_label, ROLE_SYSTEM_STATICTEXT, L"с:", L"<none>"},
      {from, ROLE_SYSTEM_TEXT, L"с:", L"01.11.2026"},
      {to, ROLE_SYSTEM_TEXT, L"по:", L"30.11.2026"},
      {box, ROLE_SYSTEM_GROUPING, L"Экспортировать данные", L"<none>"},
      {panel, ROLE_SYSTEM_PANE, L"Итого", L"<none>"},
      {bevel, ROLE_SYSTEM_SEPARATOR, L"<none>", L"<none>"},
      {grid, ROLE_SYSTEM_TABLE, L"История экспорта", L"<none>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control->Name());
    const Accessible object = Accessible::OfWindow(HandleOf(c.control));
    ASSERT_TRUE(object);
    EXPECT_EQ(object.Role(), c.role);
    EXPECT_EQ(object.Name(), c.name);
    EXPECT_EQ(object.Value(), c.value);
    // The element covers the window's client area on the screen.
    RECT client;
    GetClientRect(HandleOf(c.control), &client);
    MapWindowPoints(HandleOf(c.control), nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT location = object.Location();
    EXPECT_TRUE(EqualRect(&location, &client));
  }
  // A disabled field says so; the value follows the text.
  from->SetEnabled(false);
  to->SetText("15.11.2026");
  const Accessible field = Accessible::OfWindow(HandleOf(from));
  EXPECT_NE(field.State() & STATE_SYSTEM_UNAVAILABLE, 0);
  EXPECT_EQ(Accessible::OfWindow(HandleOf(to)).Value(), L"15.11.2026");
}

TEST_F(AccessibilityTest, TheGridIsATableOfItsShownRowsAndTheirCells) {
  Show(40);
  cds->SetRecNo(38);
  FocusGrid();
  grid->SetSelectedIndex(1);
  Pump();
  const Accessible table = Accessible::OfWindow(grid_window);
  ASSERT_TRUE(table);
  ASSERT_EQ(table.ChildCount(), 1 + grid->ShownRowCount());

  const Accessible titles = table.ChildAt(1);
  ASSERT_TRUE(titles);
  EXPECT_EQ(titles.Role(), ROLE_SYSTEM_ROW);
  ASSERT_EQ(titles.ChildCount(), 3);
  const wchar_t* const headers[] = {L"Дата экспорта", L"Изменения с", L"Изменения по"};
  for (long c = 1; c <= 3; ++c) {
    EXPECT_EQ(titles.Role(c), ROLE_SYSTEM_COLUMNHEADER);
    EXPECT_EQ(titles.Name(c), headers[c - 1]);
  }

  // Every shown row's cells: named by their column, holding what the grid shows.
  for (long r = 2; r <= table.ChildCount(); ++r) {
    const Accessible row = table.ChildAt(r);
    ASSERT_TRUE(row);
    const int rec_no = grid->TopRow() + static_cast<int>(r) - 2;
    for (long c = 1; c <= 3; ++c) {
      SCOPED_TRACE(std::to_string(rec_no) + "/" + std::to_string(c));
      EXPECT_EQ(row.Role(c), ROLE_SYSTEM_CELL);
      EXPECT_EQ(row.Name(c), headers[c - 1]);
      EXPECT_EQ(row.Value(c), win32::Wide(grid->CellText(rec_no, static_cast<int>(c) - 1)));
      const bool current = rec_no == 38 && c == 2;
      const long state = row.State(c);
      EXPECT_EQ((state & STATE_SYSTEM_FOCUSED) != 0, current);
      EXPECT_EQ((state & STATE_SYSTEM_SELECTED) != 0, current);
    }
  }

  // The focus and the selection name the current cell, which lies where the grid draws it.
  VARIANT focus;
  VariantInit(&focus);
  ASSERT_EQ(table->get_accFocus(&focus), S_OK);
  const Accessible cell = Accessible::From(focus);
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell.Role(), ROLE_SYSTEM_CELL);
  EXPECT_EQ(cell.Name(), L"Изменения с");
  EXPECT_EQ(cell.Value(), win32::Wide(grid->CellText(38, 1)));
  RECT drawn = Native(grid->CellRect(38 - grid->TopRow(), 1));
  MapWindowPoints(grid_window, nullptr, reinterpret_cast<POINT*>(&drawn), 2);
  const RECT location = cell.Location();
  EXPECT_TRUE(EqualRect(&location, &drawn));
  VARIANT hit;
  VariantInit(&hit);
  ASSERT_EQ(table->accHitTest((drawn.left + drawn.right) / 2, (drawn.top + drawn.bottom) / 2, &hit),
            S_OK);
  EXPECT_EQ(Accessible::From(hit).Value(), win32::Wide(grid->CellText(38, 1)));
  VARIANT selection;
  VariantInit(&selection);
  ASSERT_EQ(table->get_accSelection(&selection), S_OK);
  EXPECT_EQ(Accessible::From(selection).Name(), L"Изменения с");

  // Without the focus the current cell stays selected and is no longer focused.
  SetFocus(HandleOf(button));
  Pump();
  const long state = table.State(CellId(38, 1));
  EXPECT_NE(state & STATE_SYSTEM_SELECTED, 0);
  EXPECT_EQ(state & STATE_SYSTEM_FOCUSED, 0);
}

TEST_F(AccessibilityTest, FocusSelectionAndValueChangesAreAnnounced) {
  Show(40);
  SetFocus(HandleOf(button));
  Pump();
  StartEvents();
  FocusGrid();
  EXPECT_TRUE(Raised(EVENT_OBJECT_FOCUS, grid_window, CellId(40, 0)));
  PressKey(grid_window, kVkUp);
  EXPECT_EQ(grid->Row(), 39);
  EXPECT_TRUE(Raised(EVENT_OBJECT_SELECTION, grid_window, CellId(39, 0)));
  EXPECT_TRUE(Raised(EVENT_OBJECT_FOCUS, grid_window, CellId(39, 0)));
  PressKey(grid_window, kVkRight);
  EXPECT_TRUE(Raised(EVENT_OBJECT_FOCUS, grid_window, CellId(39, 1)));
  // The element an event names is the one a reader then reads.
  IAccessible* object = nullptr;
  VARIANT child;
  VariantInit(&child);
  ASSERT_EQ(AccessibleObjectFromEvent(grid_window, OBJID_CLIENT, CellId(39, 1), &object, &child),
            S_OK);
  const Accessible element(object);
  EXPECT_EQ(element.Value(child.lVal), win32::Wide(grid->CellText(39, 1)));

  const HWND field = HandleOf(from);
  SetFocus(field);
  Pump();
  TypeText(field, L"2");
  EXPECT_TRUE(Raised(EVENT_OBJECT_VALUECHANGE, field, CHILDID_SELF));
  EXPECT_EQ(Accessible::OfWindow(field).Value(), win32::Wide(from->Text()));
}

TEST_F(AccessibilityTest, AnObjectKeptAfterItsWindowIsGoneAnswersThatItIsDisconnected) {
  Show(3);
  Accessible table = Accessible::OfWindow(grid_window);
  ASSERT_TRUE(table);
  Accessible row = table.ChildAt(2);
  ASSERT_TRUE(row);
  form->Hide();
  Pump();
  BSTR name = nullptr;
  EXPECT_EQ(table->get_accName(ChildArgument(CHILDID_SELF), &name), RPC_E_DISCONNECTED);
  EXPECT_EQ(row->get_accName(ChildArgument(1), &name), RPC_E_DISCONNECTED);
  LONG count = 0;
  EXPECT_EQ(row->get_accChildCount(&count), RPC_E_DISCONNECTED);
  EXPECT_EQ(name, nullptr);
}

TEST_F(AccessibilityTest, AContainersChildrenHitsAndFocusAreTheWindowsInsideIt) {
  Show(5);
  const Accessible group = Accessible::OfWindow(HandleOf(box));
  ASSERT_TRUE(group);
  EXPECT_EQ(group.Role(), ROLE_SYSTEM_GROUPING);
  std::set<HWND> children;
  for (AccessibleAnswer& child : group.Children()) {
    ASSERT_TRUE(child.object);
    children.insert(child.object.Window());
  }
  const HWND label = HandleOf(from_label);
  const HWND field = HandleOf(from);
  EXPECT_EQ(children, (std::set<HWND>{label, field, HandleOf(to), HandleOf(to_label)}));
  EXPECT_EQ(Accessible::OfWindow(HandleOf(panel)).Children().size(), 0u);

  // A hit on a window inside, enabled or not, names that window; a hit on the box's own area
  // names the box.
  from->SetEnabled(false);
  for (const HWND inside : {label, field}) {
    RECT rect;
    GetWindowRect(inside, &rect);
    const AccessibleAnswer hit = group.HitTest({(rect.left + rect.right) / 2, rect.bottom - 2});
    ASSERT_TRUE(hit.object);
    EXPECT_EQ(hit.object.Window(), inside);
  }
  RECT frame;
  GetWindowRect(HandleOf(box), &frame);
  EXPECT_EQ(group.HitTest({frame.left + 3, frame.bottom - 3}).id, CHILDID_SELF);
  from->SetEnabled(true);

  // The focus inside the box is the focused window's; outside it, none.
  SetFocus(HandleOf(to));
  Pump();
  const AccessibleAnswer focus = group.Focus();
  ASSERT_TRUE(focus.object);
  EXPECT_EQ(focus.object.Window(), HandleOf(to));
  SetFocus(HandleOf(button));
  Pump();
  const AccessibleAnswer outside = group.Focus();
  EXPECT_FALSE(outside.object);
  EXPECT_NE(outside.id, CHILDID_SELF);
}

TEST_F(AccessibilityTest, AControlInsideADisabledContainerIsUnavailable) {
  Show(5);
  box->SetEnabled(false);
  Pump();
  EXPECT_TRUE(IsWindowEnabled(HandleOf(from)));
  for (const TControl* control :
       {static_cast<const TControl*>(box), static_cast<const TControl*>(from),
        static_cast<const TControl*>(from_label)}) {
    SCOPED_TRACE(control->Name());
    EXPECT_NE(Accessible::OfWindow(HandleOf(control)).State() & STATE_SYSTEM_UNAVAILABLE, 0);
  }
  box->SetEnabled(true);
  EXPECT_EQ(Accessible::OfWindow(HandleOf(from)).State() & STATE_SYSTEM_UNAVAILABLE, 0);
}

TEST_F(AccessibilityTest, AFaultBelowAnObjectIsAFailureCodeAndTheObjectWorksOnAfter) {
  Show(5);
  const Accessible table = Accessible::OfWindow(grid_window);
  ASSERT_TRUE(table);
  const long cell = CellId(3, 2);
  const Accessible row = table.ChildAt(RowId(3));
  ASSERT_TRUE(row);
  RECT rect = table.Location(cell);
  const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  struct Call {
    const char* name;
    std::function<HRESULT()> call;
  };
  BSTR text = nullptr;
  VARIANT answer;
  VariantInit(&answer);
  LONG left = 0, top = 0, width = 0, height = 0;
  const Call calls[] = {
      {"get_accValue", [&] { return table->get_accValue(ChildArgument(cell), &text); }},
      {"get_accName", [&] { return table->get_accName(ChildArgument(cell), &text); }},
      {"get_accRole", [&] { return table->get_accRole(ChildArgument(cell), &answer); }},
      {"get_accState", [&] { return table->get_accState(ChildArgument(cell), &answer); }},
      {"accLocation",
       [&] { return table->accLocation(&left, &top, &width, &height, ChildArgument(cell)); }},
      {"accHitTest", [&] { return table->accHitTest(centre.x, centre.y, &answer); }},
      {"row get_accValue", [&] { return row->get_accValue(ChildArgument(3), &text); }},
  };
  Pump();
  // No message is handled meanwhile: the grid would paint the failing texts.
  failing_field->failing = true;
  for (const Call& c : calls) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), E_FAIL);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(answer.vt, VT_EMPTY);
  }
  failing_field->failing = false;
  for (const Call& c : calls) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), S_OK);
    SysFreeString(text);
    text = nullptr;
    VariantClear(&answer);
  }
  EXPECT_EQ(table.Value(cell), win32::Wide(grid->CellText(3, 2)));
}

// What readers hear when what the grid shows may have changed.
struct ShownRowsCase {
  const char* name;
  std::vector<HistoryRecord> shown;
  int current_row;
  enum class Change {
    kReloadLaterDays,  // the same number of rows, a year later
    kLast,             // the cursor to the last row
    kOrderById,
    kTaller,
    kLastColumnFrom,     // the last column shows EXPORT_FROM
    kFirstColumnTo,      // the first column shows EXPORT_TO
    kMiddleColumnTitle,  // the middle column is retitled
    kPrior,              // the cursor a row up
    kFocus,              // the focus comes to the grid
  } change;
  enum class Heard {
    kNothing,       // nothing shown changed
    kReorder,       // the rows shown are others
    kColumnValues,  // every shown row's cell of `column` shows another text
    kColumnTitle,   // the header of `column` shows another title
  } heard;
  int column = -1;
};
std::ostream& operator<<(std::ostream& out, const ShownRowsCase& c) { return out << c.name; }

std::vector<HistoryRecord> IdsDown(int count) {
  std::vector<HistoryRecord> records = DailyRecords(count);
  for (HistoryRecord& r : records) r.id = count + 1 - r.id;
  return records;
}

class ShownRowsAnnouncementTest : public AccessibilityTest,
                                  public testing::WithParamInterface<ShownRowsCase> {
 protected:
  void Make(ShownRowsCase::Change change) {
    using Change = ShownRowsCase::Change;
    switch (change) {
      case Change::kReloadLaterDays: {
        std::vector<HistoryRecord> later = DailyRecords(grid->RowCount());
        for (HistoryRecord& r : later) r.date += 366;
        Load(later);
        break;
      }
      case Change::kLast:
        cds->Last();
        break;
      case Change::kOrderById:
        cds->SetIndexFieldNames("ID");
        break;
      case Change::kTaller:
        grid->SetBounds(0, 120, 424, 250);
        break;
      case Change::kLastColumnFrom:
        grid->Columns()->Items(2)->SetFieldName("EXPORT_FROM");
        break;
      case Change::kFirstColumnTo:
        grid->Columns()->Items(0)->SetFieldName("EXPORT_TO");
        break;
      case Change::kMiddleColumnTitle:
        grid->Columns()->Items(1)->Title()->SetCaption("С");
        break;
      case Change::kPrior:
        cds->Prior();
        break;
      case Change::kFocus:
        FocusGrid();
        break;
    }
  }
};

TEST_P(ShownRowsAnnouncementTest, ReadersHearWhatChanged) {
  using Heard = ShownRowsCase::Heard;
  const ShownRowsCase& c = GetParam();
  Show(c.shown);
  cds->SetRecNo(c.current_row);
  SetFocus(HandleOf(button));
  const int current = grid->Row();
  StartEvents();
  const std::vector<Event> raised = EventsOf([&] { Make(c.change); }, grid_window);
  StopEvents();
  std::vector<std::pair<DWORD, LONG>> heard;
  bool current_cell_announced = false;
  for (const Event& e : raised) {
    if (e.event == EVENT_OBJECT_SELECTION || e.event == EVENT_OBJECT_FOCUS) {
      current_cell_announced = true;
    } else {
      heard.emplace_back(e.event, e.child);
    }
  }
  std::vector<std::pair<DWORD, LONG>> expected;
  switch (c.heard) {
    case Heard::kNothing:
      break;
    case Heard::kReorder:
      // A reload closes the data set and opens it again: readers may hear of both.
      ASSERT_FALSE(heard.empty());
      for (const auto& [event, child] : heard) {
        EXPECT_EQ(event, EVENT_OBJECT_REORDER);
        EXPECT_EQ(child, CHILDID_SELF);
      }
      expected = heard;
      break;
    case Heard::kColumnValues:
      for (int rec_no = grid->TopRow(); rec_no < grid->TopRow() + grid->ShownRowCount(); ++rec_no) {
        expected.emplace_back(EVENT_OBJECT_VALUECHANGE, CellId(rec_no, c.column));
        if (c.column == 0) expected.emplace_back(EVENT_OBJECT_NAMECHANGE, RowId(rec_no));
      }
      break;
    case Heard::kColumnTitle:
      expected.emplace_back(EVENT_OBJECT_NAMECHANGE, (1L << 12) | (c.column + 1));
      break;
  }
  EXPECT_EQ(heard, expected);
  // The current cell stayed where it was among the same rows: nothing is said of it.
  if (grid->Row() == current && c.heard != Heard::kReorder &&
      c.change != ShownRowsCase::Change::kFocus) {
    EXPECT_FALSE(current_cell_announced);
  }
  if (c.heard == Heard::kColumnValues) {
    // What readers hear of is what they then read.
    const Accessible table = Accessible::OfWindow(grid_window);
    const int rec_no = grid->TopRow() + 1;
    EXPECT_EQ(table.Value(CellId(rec_no, c.column)), win32::Wide(grid->CellText(rec_no, c.column)));
  }
}

using Change = ShownRowsCase::Change;
using Heard = ShownRowsCase::Heard;
INSTANTIATE_TEST_SUITE_P(
    Changes, ShownRowsAnnouncementTest,
    testing::Values(
        ShownRowsCase{"a reload of other rows, the current cell unchanged", DailyRecords(30), 1,
                      Change::kReloadLaterDays, Heard::kReorder},
        ShownRowsCase{"a scroll", DailyRecords(30), 1, Change::kLast, Heard::kReorder},
        ShownRowsCase{"a new order of the rows shown", IdsDown(5), 3, Change::kOrderById,
                      Heard::kReorder},
        ShownRowsCase{"a taller grid", DailyRecords(30), 1, Change::kTaller, Heard::kReorder},
        ShownRowsCase{"a column showing another field", DailyRecords(5), 2, Change::kLastColumnFrom,
                      Heard::kColumnValues, 2},
        ShownRowsCase{"the first column, which names the rows, showing another field",
                      DailyRecords(5), 2, Change::kFirstColumnTo, Heard::kColumnValues, 0},
        ShownRowsCase{"a column retitled", DailyRecords(5), 2, Change::kMiddleColumnTitle,
                      Heard::kColumnTitle, 1},
        ShownRowsCase{"the current row moving among the rows shown", DailyRecords(5), 4,
                      Change::kPrior, Heard::kNothing},
        ShownRowsCase{"the focus coming to the grid", DailyRecords(5), 4, Change::kFocus,
                      Heard::kNothing}));

}  // namespace
}  // namespace tvx::test
