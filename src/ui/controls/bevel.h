// Bevels: a drawn line or frame, lowered or raised, that takes no input.
#pragma once

#include "ui/core/control.h"

namespace tvx {

class TBevel : public TControl {
  TVX_DECLARE_CLASS(TBevel, TControl)

  explicit TBevel(TComponent* owner);

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape shape);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle style);

 protected:
  ~TBevel() override = default;

 private:
  TBevelShape shape_ = TBevelShape::bsBox;
  TBevelStyle style_ = TBevelStyle::bsLowered;
};

}  // namespace tvx
