#include "ui/controls/label.h"

#include "classes/class_builder.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TLabel) {}

TLabel::TLabel(TComponent* owner) : TControl(owner) {
  InitBounds(TBounds{0, 0, 65, 13});
  InitAutoSize(true);
}

void TLabel::AdjustSize() {
  // An empty label keeps the height of one line.
  const TSize size = UiBackend().MeasureText(Caption().empty() ? " " : Caption(), *Font());
  SetBounds(Left(), Top(), size.cx, size.cy);
}

}  // namespace tvx
