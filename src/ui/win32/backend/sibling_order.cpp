#include "ui/win32/backend/sibling_order.h"

#include <algorithm>
#include <vector>

#include "ui/win32/peers/window_peer.h"

namespace tvx::win32 {

namespace {

HWND WindowOf(const TControl* control, const TControl* added, HWND added_window) {
  if (control == added) return added_window;
  const WindowPeer* peer = WindowPeer::Of(control);
  return peer != nullptr ? peer->Hwnd() : nullptr;
}

}  // namespace

void ArrangeSiblings(const TWinControl& parent, const TControl* added, HWND added_window) {
  const WindowPeer* parent_peer = WindowPeer::Of(&parent);
  if (parent_peer == nullptr || parent_peer->Hwnd() == nullptr) return;
  std::vector<HWND> wanted;
  for (const TWinControl* child : parent.TabList()) {
    if (HWND hwnd = WindowOf(child, added, added_window)) wanted.push_back(hwnd);
  }
  for (int32_t i = 0; i < parent.ControlCount(); ++i) {
    const TControl* child = parent.Controls(i);
    if (dynamic_cast<const TWinControl*>(child) != nullptr) continue;
    if (HWND hwnd = WindowOf(child, added, added_window)) wanted.push_back(hwnd);
  }
  std::vector<HWND> current;
  for (HWND hwnd = GetWindow(parent_peer->Hwnd(), GW_CHILD); hwnd != nullptr;
       hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    if (std::find(wanted.begin(), wanted.end(), hwnd) != wanted.end()) current.push_back(hwnd);
  }
  if (current != wanted) {
    HWND after = HWND_TOP;
    for (HWND hwnd : wanted) {
      SetWindowPos(hwnd, after, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
      after = hwnd;
    }
  }
  for (const TWinControl* child : parent.TabList()) {
    if (WindowPeer* peer = WindowPeer::Of(child)) peer->RefreshNavigation();
  }
}

void ArrangeTree(const TWinControl& root) {
  ArrangeSiblings(root);
  for (const TWinControl* child : root.TabList()) ArrangeTree(*child);
}

}  // namespace tvx::win32
