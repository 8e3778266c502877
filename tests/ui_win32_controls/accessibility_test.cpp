// What a screen reader learns of the module's windows, asked as one asks: through
// AccessibleObjectFromWindow on the real windows, and from the events the windows raise. Labels
// are static text, a date field is editable text named by the label before it with the date as
// its value, a group box is a grouping named by its caption, and the grid is a table of rows and
// cells whose current cell is focused and selected, and announced as it moves.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid_window_fixture.h"
#include "ui/bevel.h"
#include "ui/date_edit.h"
#include "ui/group_box.h"
#include "ui/label.h"
#include "ui/panel.h"

namespace tvx::test {
namespace {

// MinGW's oleacc library resolves IID_IAccessible to an import thunk, not the identifier.
constexpr IID kAccessibleIid = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

VARIANT Child(long id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

// A reference to an IAccessible, released when it goes.
class Accessible {
 public:
  Accessible() = default;
  explicit Accessible(IAccessible* object) : object_(object) {}
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;
  Accessible(Accessible&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  ~Accessible() {
    if (object_ != nullptr) object_->Release();
  }

  static Accessible OfWindow(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, kAccessibleIid,
                                          reinterpret_cast<void**>(&object)))) {
      return Accessible();
    }
    return Accessible(object);
  }

  // The object a VARIANT answer names (VT_DISPATCH), or none.
  static Accessible From(VARIANT& answer) {
    Accessible result;
    if (answer.vt == VT_DISPATCH && answer.pdispVal != nullptr) {
      IAccessible* object = nullptr;
      if (SUCCEEDED(
              answer.pdispVal->QueryInterface(kAccessibleIid, reinterpret_cast<void**>(&object)))) {
        result = Accessible(object);
      }
    }
    VariantClear(&answer);
    return result;
  }

  Accessible& operator=(Accessible&& other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }

  explicit operator bool() const { return object_ != nullptr; }
  IAccessible* operator->() const { return object_; }

  long Role(long child = CHILDID_SELF) const {
    VARIANT role;
    VariantInit(&role);
    if (FAILED(object_->get_accRole(Child(child), &role)) || role.vt != VT_I4) return -1;
    return role.lVal;
  }
  long State(long child = CHILDID_SELF) const {
    VARIANT state;
    VariantInit(&state);
    if (FAILED(object_->get_accState(Child(child), &state)) || state.vt != VT_I4) return -1;
    return state.lVal;
  }
  std::wstring Name(long child = CHILDID_SELF) const {
    return Text(&IAccessible::get_accName, child);
  }
  std::wstring Value(long child = CHILDID_SELF) const {
    return Text(&IAccessible::get_accValue, child);
  }
  long ChildCount() const {
    LONG count = -1;
    object_->get_accChildCount(&count);
    return count;
  }
  Accessible ChildAt(long index) const {
    IDispatch* child = nullptr;
    if (object_->get_accChild(Child(index), &child) != S_OK || child == nullptr) {
      return Accessible();
    }
    VARIANT answer;
    VariantInit(&answer);
    answer.vt = VT_DISPATCH;
    answer.pdispVal = child;
    return From(answer);
  }
  RECT Location(long child = CHILDID_SELF) const {
    LONG left = 0, top = 0, width = 0, height = 0;
    object_->accLocation(&left, &top, &width, &height, Child(child));
    return RECT{left, top, left + width, top + height};
  }

 private:
  std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                    long child) const {
    BSTR text = nullptr;
    const HRESULT result = (object_->*get)(Child(child), &text);
    if (FAILED(result)) return L"<failed>";
    if (text == nullptr) return L"<none>";
    std::wstring copy(text, SysStringLen(text));
    SysFreeString(text);
    return copy;
  }

  IAccessible* object_ = nullptr;
};

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

class AccessibilityTest : public GridWindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    GridWindowTest::SetUp();
    // The grid stands below the export options' group.
    grid->SetBounds(0, 120, 424, 160);
    box = Place<TGroupBox>("GroupBox1", 16, 8, 297, 57);
    box->SetCaption("Экспортировать данные");
    from_label = Inside<TLabel>("Label3", 24, 24, 12, 13);
    from_label->SetCaption("с: ");
    from = Inside<TJvDateEdit>("eExportFrom", 38, 21, 99, 21);
    from->SetDate(testing_support::At(2026, 11, 1));
    Inside<TLabel>("Label4", 152, 24, 16, 13)->SetCaption("по:");
    to = Inside<TJvDateEdit>("eExportTo", 176, 20, 105, 21);
    to->SetDate(testing_support::At(2026, 11, 30));
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

  template <class T>
  T* Inside(const std::string& name, int left, int top, int width, int height) {
    T* control = Create<T>(form);
    control->SetName(name);
    control->SetBounds(left, top, width, height);
    control->SetParent(box);
    return control;
  }

  void StartEvents() {
    g_events = &events;
    hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, &RecordEvent,
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

  // The element id of a grid cell: its row among the children (the title row first) and its
  // column.
  long CellId(int rec_no, int column) const {
    const long row = 1 + (rec_no - grid->TopRow()) + 1;
    return (row << 12) | (column + 1);
  }

  TGroupBox* box = nullptr;
  TLabel* from_label = nullptr;
  TJvDateEdit* from = nullptr;
  TJvDateEdit* to = nullptr;
  TPanel* panel = nullptr;
  TBevel* bevel = nullptr;
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
  EXPECT_EQ(table->get_accName(Child(CHILDID_SELF), &name), RPC_E_DISCONNECTED);
  EXPECT_EQ(row->get_accName(Child(1), &name), RPC_E_DISCONNECTED);
  LONG count = 0;
  EXPECT_EQ(row->get_accChildCount(&count), RPC_E_DISCONNECTED);
  EXPECT_EQ(name, nullptr);
}

}  // namespace
}  // namespace tvx::test
