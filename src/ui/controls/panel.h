// Panels: a container with an optional caption and raised or lowered bevels inside its edge.
#pragma once

#include "ui/core/win_control.h"

namespace tvx {

class TPanel : public TWinControl {
  TVX_DECLARE_CLASS(TPanel, TWinControl)

  explicit TPanel(TComponent* owner);

  TBevelCut BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TBevelCut cut);
  TBevelCut BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TBevelCut cut);
  int32_t BevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int32_t width);
  int32_t BorderWidth() const { return border_width_; }
  void SetBorderWidth(int32_t width);

  // Aligned children share the client area less the border and the bevels.
  TRect AlignRect() const override;

 protected:
  ~TPanel() override = default;

 private:
  void FrameChanged();

  TBevelCut bevel_inner_ = TBevelCut::bvNone;
  TBevelCut bevel_outer_ = TBevelCut::bvRaised;
  int32_t bevel_width_ = 1;
  int32_t border_width_ = 0;
};

}  // namespace tvx
