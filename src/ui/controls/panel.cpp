#include "ui/controls/panel.h"

#include "classes/class_builder.h"
#include "ui/controls/bevel_names.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TPanel) {
  TVX_NAMED_PROPERTY(BevelInner, kBevelCutNames, "TBevelCut");
  TVX_NAMED_PROPERTY(BevelOuter, kBevelCutNames, "TBevelCut");
  TVX_PROPERTY(BevelWidth);
  TVX_PROPERTY(BorderWidth);
}

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { InitBounds(TBounds{0, 0, 185, 41}); }

void TPanel::SetBevelInner(TBevelCut cut) {
  if (cut == bevel_inner_) return;
  bevel_inner_ = cut;
  FrameChanged();
}

void TPanel::SetBevelOuter(TBevelCut cut) {
  if (cut == bevel_outer_) return;
  bevel_outer_ = cut;
  FrameChanged();
}

void TPanel::SetBevelWidth(int32_t width) {
  if (width == bevel_width_ || width < 1) return;
  bevel_width_ = width;
  FrameChanged();
}

void TPanel::SetBorderWidth(int32_t width) {
  if (width == border_width_ || width < 0) return;
  border_width_ = width;
  FrameChanged();
}

void TPanel::FrameChanged() {
  Changed(ControlChange::Appearance);
  Realign();
}

TRect TPanel::AlignRect() const {
  TRect rect = TWinControl::AlignRect();
  int32_t inset = border_width_;
  if (bevel_outer_ != TBevelCut::bvNone) inset += bevel_width_;
  if (bevel_inner_ != TBevelCut::bvNone) inset += bevel_width_;
  rect.left += inset;
  rect.top += inset;
  rect.right -= inset;
  rect.bottom -= inset;
  return rect;
}

}  // namespace tvx
