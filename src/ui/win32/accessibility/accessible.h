// What a screen reader learns of the module's windows: Active Accessibility (Windows bridges it
// to UI Automation). A peer that describes itself answers WM_GETOBJECT for its client area with
// an IAccessible built on an AccessibleSource, its own description of what it shows: a role, a
// name, a value, a state, and children (the rows and cells of a grid). A container's children
// are its child windows instead: its object is the system's standard client object of the
// window, which lists them, navigates among them, tests hits and follows the focus into them,
// with the container's role, name and state over it.
//
// No exception crosses an IAccessible method: what the layers below throw becomes E_FAIL
// (E_OUTOFMEMORY when memory ran out).
//
// An element is named by its path from the window: {} is the window itself, {3} its third
// child, {3, 2} that child's second child (all 1-based, as MSAA counts children). The objects
// handed out hold the path, not the peer: a screen reader may keep one after the window is
// gone, and then every call answers that the object is no longer connected.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/win32/backend/win32_api.h"
// The roles, states and events (after windows.h).
#include <oleacc.h>

namespace tvx::win32 {

using AccessiblePath = std::vector<long>;

struct AccessibleItem {
  long role = 0;
  std::string name;
  // The value (a field's text, a cell's); none for elements that have no value.
  std::optional<std::string> value;
  // STATE_SYSTEM_* bits beyond those the window's state gives (focused, unavailable, ...).
  long state = 0;
  // Where it is, in client coordinates of the window; none for the window itself.
  std::optional<RECT> location;
};

// An element of a role and name, with the given extra state.
AccessibleItem MakeAccessibleItem(long role, std::string name, long state = 0);

class AccessibleSource {
 public:
  virtual ~AccessibleSource() = default;
  virtual AccessibleItem Describe(const AccessiblePath& path) const = 0;
  virtual long ChildCount(const AccessiblePath& /*path*/) const { return 0; }
  // The element that has the keyboard focus while the window has it ({} is the window).
  virtual AccessiblePath FocusedItem() const { return {}; }
  // The selected element among the window's descendants, if any.
  virtual std::optional<AccessiblePath> SelectedItem() const { return std::nullopt; }
  // A container's: the window's children are its child windows, and the source describes only
  // the window itself ({}).
  virtual bool ChildrenAreWindows() const { return false; }
};

// The child id with which an event (or a client) names an element below the window: a child
// of the window by its index, a grandchild as (child << 12) | grandchild. The window itself is
// CHILDID_SELF.
long AccessibleChildId(const AccessiblePath& path);
std::optional<AccessiblePath> AccessiblePathOf(long child_id);

// A peer's end of its accessible objects.
class AccessibleWindow {
 public:
  AccessibleWindow(HWND hwnd, const AccessibleSource& source);
  // The objects still held by clients answer "disconnected" from here on.
  ~AccessibleWindow();
  AccessibleWindow(const AccessibleWindow&) = delete;
  AccessibleWindow& operator=(const AccessibleWindow&) = delete;

  // The answer to WM_GETOBJECT: the client object for OBJID_CLIENT; nullopt for other objects,
  // which the window's default handling answers.
  std::optional<LRESULT> Answer(WPARAM wparam, LPARAM lparam);

  // Tells clients that an element changed (EVENT_OBJECT_FOCUS, _SELECTION, _VALUECHANGE, ...).
  void Raise(DWORD event, const AccessiblePath& path = {}) const;

  struct Link;

 private:
  std::shared_ptr<Link> link_;
};

}  // namespace tvx::win32
