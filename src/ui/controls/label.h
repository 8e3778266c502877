// Labels: a line of text. With AutoSize (the default) the label takes the size of its text
// in its font, as the backend measures it.
#pragma once

#include "ui/core/control.h"

namespace tvx {

class TLabel : public TControl {
  TVX_DECLARE_CLASS(TLabel, TControl)

  explicit TLabel(TComponent* owner);

 protected:
  ~TLabel() override = default;
  void AdjustSize() override;
};

}  // namespace tvx
