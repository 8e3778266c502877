#include "ui/win32/accessibility/accessible_names.h"

#include "ui/controls/label.h"
#include "ui/core/win_control.h"

namespace tvx::win32 {

std::string SpokenCaption(std::string_view caption) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = caption.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const size_t last = caption.find_last_not_of(kBlanks);
  return std::string(caption.substr(first, last - first + 1));
}

std::string LabelBefore(const TControl& control) {
  const TWinControl* parent = control.Parent();
  if (parent == nullptr) return {};
  std::string name;
  for (int32_t i = 0; i < parent->ControlCount(); ++i) {
    const TControl* child = parent->Controls(i);
    if (child == &control) return name;
    if (dynamic_cast<const TLabel*>(child) != nullptr) name = SpokenCaption(child->Caption());
  }
  return {};
}

}  // namespace tvx::win32
