#include "ui/controls/group_box.h"

#include "classes/class_builder.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TGroupBox) {}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  InitBounds(TBounds{0, 0, 185, 105});
}

TRect TGroupBox::AlignRect() const {
  TRect rect = TWinControl::AlignRect();
  const int32_t caption_height = UiBackend().MeasureText("0", *Font()).cy;
  rect.left += 2;
  rect.top += caption_height + 2;
  rect.right -= 2;
  rect.bottom -= 2;
  return rect;
}

}  // namespace tvx
