// The order of a container's child windows. Windows draws siblings and a dialog manager walks
// them in their z-order, so the peers keep that order equal to the control layer's: the
// windowed controls in Tab order first, then the other controls (labels, bevels) in the order
// in which they were placed. Each windowed child's WS_TABSTOP and WS_GROUP are refreshed too,
// since both depend on the order.
#pragma once

#include "ui/core/win_control.h"
#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

// Orders the child windows of one container. `added` is a control whose window was just made
// and is not yet the control's peer (the control layer stores it when CreatePeer returns).
void ArrangeSiblings(const TWinControl& parent, const TControl* added = nullptr,
                     HWND added_window = nullptr);
// The same for a container and every container inside it.
void ArrangeTree(const TWinControl& root);

}  // namespace tvx::win32
