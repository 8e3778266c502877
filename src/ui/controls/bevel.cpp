#include "ui/controls/bevel.h"

#include "classes/class_builder.h"

namespace tvx {

namespace {
const TEnumNames<TBevelShape> kShapeNames = {
    {"bsBox", TBevelShape::bsBox},           {"bsFrame", TBevelShape::bsFrame},
    {"bsTopLine", TBevelShape::bsTopLine},   {"bsBottomLine", TBevelShape::bsBottomLine},
    {"bsLeftLine", TBevelShape::bsLeftLine}, {"bsRightLine", TBevelShape::bsRightLine},
    {"bsSpacer", TBevelShape::bsSpacer}};
const TEnumNames<TBevelStyle> kStyleNames = {{"bsLowered", TBevelStyle::bsLowered},
                                             {"bsRaised", TBevelStyle::bsRaised}};
}  // namespace

TVX_IMPLEMENT_CLASS(TBevel) {
  TVX_NAMED_PROPERTY(Shape, kShapeNames, "TBevelShape");
  TVX_NAMED_PROPERTY(Style, kStyleNames, "TBevelStyle");
}

TBevel::TBevel(TComponent* owner) : TControl(owner) { InitBounds(TBounds{0, 0, 50, 50}); }

void TBevel::SetShape(TBevelShape shape) {
  if (shape == shape_) return;
  shape_ = shape;
  Changed(ControlChange::Appearance);
}

void TBevel::SetStyle(TBevelStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed(ControlChange::Appearance);
}

}  // namespace tvx
