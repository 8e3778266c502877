// The names under which a screen reader announces the module's controls.
#pragma once

#include <string>
#include <string_view>

#include "ui/core/control.h"
#include "ui/win32/accessibility/accessible.h"

namespace tvx::win32 {

// A caption as it is spoken: without the blanks around it ("с: " is "с:").
std::string SpokenCaption(std::string_view caption);

// The caption of the label placed before a control in its parent (the last label before it
// among the parent's children, as a dialog sets a field's label beside it); empty without one.
std::string LabelBefore(const TControl& control);

// A container that a screen reader knows by a role and its caption (a group box, a panel, a
// bevel), whose children are its child windows.
class CaptionAccessible : public AccessibleSource {
 public:
  CaptionAccessible(const TControl& control, long role) : control_(control), role_(role) {}
  AccessibleItem Describe(const AccessiblePath& /*path*/) const override {
    return MakeAccessibleItem(role_, SpokenCaption(control_.Caption()));
  }
  bool ChildrenAreWindows() const override { return true; }

 private:
  const TControl& control_;
  long role_;
};

}  // namespace tvx::win32
