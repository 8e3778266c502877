// Group boxes: a frame with a caption in its top edge around a group of controls.
#pragma once

#include "ui/core/win_control.h"

namespace tvx {

class TGroupBox : public TWinControl {
  TVX_DECLARE_CLASS(TGroupBox, TWinControl)

  explicit TGroupBox(TComponent* owner);

  // Aligned children share the area inside the frame, below the caption.
  TRect AlignRect() const override;

 protected:
  ~TGroupBox() override = default;
};

}  // namespace tvx
