// The base of every control: its place in a parent, its bounds, text, font, colour,
// enabled and visible state, alignment and anchors, and its native peer while shown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classes/component.h"
#include "classes/events.h"
#include "rtl/pass_key.h"
#include "ui/core/backend.h"
#include "ui/core/font.h"
#include "ui/core/keys.h"
#include "ui/core/ui_types.h"

namespace tvx {

class TWinControl;
class TCustomForm;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

class TControl : public TComponent {
  TVX_DECLARE_CLASS(TControl, TComponent)

  explicit TControl(TComponent* owner);

  // The enclosing control. Setting it moves the control (and its peers, when shown) into
  // the new parent's children, last in order.
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The form that contains the control (the control itself for a form), or null.
  TCustomForm* ParentForm() const;

  int32_t Left() const { return bounds_.left; }
  int32_t Top() const { return bounds_.top; }
  int32_t Width() const { return bounds_.width; }
  int32_t Height() const { return bounds_.height; }
  const TBounds& Bounds() const { return bounds_; }
  void SetLeft(int32_t value);
  void SetTop(int32_t value);
  void SetWidth(int32_t value);
  void SetHeight(int32_t value);
  // Moves and sizes the control; sizes below 0 become 0. Aligned siblings and anchored
  // children follow.
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  // The size of the area in which children are placed (all of the control unless a frame
  // surrounds it, as for a form).
  virtual TSize ClientSize() const;
  int32_t ClientWidth() const { return ClientSize().cx; }
  int32_t ClientHeight() const { return ClientSize().cy; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  // The control's own state; Reachable() says whether input can reach it.
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, with every parent up to its form visible and the form shown.
  bool Showing() const;
  // Showing, with itself and every parent up to the form enabled: the user can use it.
  bool Reachable() const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors);

  // The font in effect. While ParentFont is true it follows the parent's font; changing it
  // sets ParentFont to false.
  TFont* Font() const { return font_.get(); }
  void SetFont(const TFont* font) { font_->Assign(font); }
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool value);

  TColor Color() const { return color_; }
  void SetColor(TColor color);

  // Whether the control sizes itself to its content (what that means is up to the class).
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool value);

  TNotifyEvent& OnClick() { return on_click_; }
  // Fires OnClick.
  virtual void Click();
  // What a click of the user's does (after the focus has moved into the control): Click()
  // for most controls.
  virtual void UserClick() { Click(); }
  // A mouse button pressed over the control at a point of its client area.
  virtual void DoMouseDown(TMouseButton button, ShiftState shift, TPoint point);

  // The native peer while the control's form is shown, else null.
  ControlPeer* Peer() const { return peer_.get(); }

  // Multiplies the bounds (and an own font) by m/d: from the design resolution to the
  // screen's. Containers scale their children.
  virtual void ChangeScale(int32_t m, int32_t d);

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

  // For the parent alone (a TWinControl acting on its children): their peers are made and
  // destroyed with its own, its font passes on to them, and its alignment and anchors place
  // them without asking it to place them again.
  void CreatePeersAsChild(TPassKey<TWinControl>) { CreatePeers(0); }
  void DestroyPeersAsChild(TPassKey<TWinControl>) { DestroyPeers(); }
  void ParentFontChanged(TPassKey<TWinControl>) { ParentFontChanged(); }
  void CaptureAnchorOrigin(TPassKey<TWinControl>) { CaptureAnchorOrigin(); }
  void FollowAnchors(TPassKey<TWinControl>, TSize parent_client_size);
  void PlaceByLayout(TPassKey<TWinControl>, const TBounds& bounds) { SetBoundsQuiet(bounds); }

 protected:
  ~TControl() override;
  void BeforeDestruction() override;
  void Loaded() override;

  bool Loading() const { return ComponentState().Contains(csLoading); }
  // Initial values a constructor gives, without any of the effects of the setters.
  void InitBounds(const TBounds& bounds) { bounds_ = bounds; }
  void InitAutoSize(bool value) { auto_size_ = value; }
  // The Visible state alone, without SetVisible's effects: for a class that shows and hides
  // its window itself (a form).
  void StoreVisible(bool visible) { visible_ = visible; }
  // Tells the form around this control that `control` (this one or one inside it) can no
  // longer hold the focus: it was hidden, disabled or taken out.
  void ParentFormLoses(const TControl& control) const;
  // Tells the peer (when there is one) that some of the state changed.
  void Changed(ControlChange change);
  // Sets the bounds without asking the parent to realign (alignment and anchors use it).
  void SetBoundsQuiet(const TBounds& bounds);
  // Called when the font in effect changed; the default tells the peer, resizes an
  // auto-sized control and passes the font on to children that follow it.
  virtual void FontChanged();
  // Called when the caption changed; the default tells the peer and resizes.
  virtual void CaptionChanged();
  // Recomputes the size of an auto-sized control (the default does nothing).
  virtual void AdjustSize() {}
  // Called after the bounds changed, with the client size before the change; by_layout
  // tells a move made by the parent's alignment or anchors from one asked for directly.
  virtual void BoundsChanged(TSize old_client_size, bool by_layout);
  // Creates and destroys the native peers of the control (and of its children).
  virtual void CreatePeers(WindowHandle owner);
  virtual void DestroyPeers();

 private:
  void ParentFontChanged();
  // Remembers the bounds and the parent's client size that anchors measure from.
  void CaptureAnchorOrigin();
  // The bounds that the anchors give for a parent client area of the new size.
  TBounds AnchoredBounds(TSize parent_client_size) const;
  void SetBoundsInternal(const TBounds& bounds, bool by_layout);

  TWinControl* parent_ = nullptr;
  TBounds bounds_;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  TAlign align_ = TAlign::alNone;
  TAnchors anchors_{akLeft, akTop};
  TBounds anchor_bounds_;
  TSize anchor_parent_size_;
  TOwned<TFont> font_;
  bool parent_font_ = true;
  bool following_parent_font_ = false;
  TColor color_ = clBtnFace;
  bool auto_size_ = false;
  TNotifyEvent on_click_;
  std::unique_ptr<ControlPeer> peer_;
};

}  // namespace tvx
