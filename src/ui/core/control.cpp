#include "ui/core/control.h"

#include <algorithm>

#include "classes/class_builder.h"
#include "rtl/exceptions.h"
#include "rtl/flag_scope.h"
#include "ui/core/form.h"
#include "ui/core/win_control.h"

namespace tvx {

namespace {

const TEnumNames<TAlign> kAlignNames = {
    {"alNone", TAlign::alNone}, {"alTop", TAlign::alTop},     {"alBottom", TAlign::alBottom},
    {"alLeft", TAlign::alLeft}, {"alRight", TAlign::alRight}, {"alClient", TAlign::alClient}};
const TEnumNames<TAnchorKind> kAnchorNames = {
    {"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}};

}  // namespace

TVX_IMPLEMENT_CLASS(TControl) {
  TVX_PROPERTY(Left);
  TVX_PROPERTY(Top);
  TVX_PROPERTY(Width);
  TVX_PROPERTY(Height);
  TVX_PROPERTY(Caption);
  TVX_PROPERTY(Enabled);
  TVX_PROPERTY(Visible);
  TVX_NAMED_PROPERTY(Align, kAlignNames, "TAlign");
  TVX_NAMED_PROPERTY(Anchors, kAnchorNames, "TAnchors");
  c.Object("Font", &TControl::Font);
  TVX_PROPERTY(ParentFont);
  TVX_PROPERTY(Color);
  TVX_PROPERTY(AutoSize);
  c.Event("OnClick", &TControl::OnClick);
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(CreateOwned<TFont>()) {
  font_->on_change = [this] {
    if (!following_parent_font_) parent_font_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  // A control whose construction failed, or that was never freed through Free, still
  // leaves its parent here.
  if (parent_ != nullptr) parent_->RemoveControl({}, this);
}

void TControl::BeforeDestruction() {
  SetParent(nullptr);
  TComponent::BeforeDestruction();
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  auto* window = dynamic_cast<TWinControl*>(parent);
  if (parent != nullptr && window == nullptr) {
    throw EInvalidOperation("Control '" + Name() + "' cannot be placed in '" + parent->Name() +
                            "', which holds no controls");
  }
  SetParent(window);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (const TControl* p = parent; p != nullptr; p = p->parent_) {
    if (p == this) throw EInvalidOperation("A control cannot be placed inside itself");
  }
  TWinControl* old_parent = parent_;
  if (old_parent != nullptr) old_parent->RemoveControl({}, this);
  parent_ = parent;
  if (parent_ == nullptr) return;
  parent_->InsertControl({}, this);
  if (parent_font_) ParentFontChanged();
  CaptureAnchorOrigin();
}

TCustomForm* TControl::ParentForm() const {
  const TControl* top = this;
  while (top->parent_ != nullptr) top = top->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(top));
}

void TControl::SetLeft(int32_t value) {
  SetBounds(value, bounds_.top, bounds_.width, bounds_.height);
}
void TControl::SetTop(int32_t value) {
  SetBounds(bounds_.left, value, bounds_.width, bounds_.height);
}
void TControl::SetWidth(int32_t value) {
  SetBounds(bounds_.left, bounds_.top, value, bounds_.height);
}
void TControl::SetHeight(int32_t value) {
  SetBounds(bounds_.left, bounds_.top, bounds_.width, value);
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  SetBoundsInternal(TBounds{left, top, std::max(width, 0), std::max(height, 0)}, false);
  CaptureAnchorOrigin();
  if (parent_ != nullptr) parent_->ChildLayoutChanged({}, this);
}

void TControl::SetBoundsQuiet(const TBounds& bounds) { SetBoundsInternal(bounds, true); }

void TControl::SetBoundsInternal(const TBounds& bounds, bool by_layout) {
  TBounds clamped = bounds;
  clamped.width = std::max(clamped.width, 0);
  clamped.height = std::max(clamped.height, 0);
  if (clamped == bounds_) return;
  const TSize old_client = ClientSize();
  bounds_ = clamped;
  Changed(ControlChange::Bounds);
  BoundsChanged(old_client, by_layout);
}

void TControl::BoundsChanged(TSize /*old_client_size*/, bool /*by_layout*/) {}

TSize TControl::ClientSize() const { return TSize{bounds_.width, bounds_.height}; }

void TControl::CaptureAnchorOrigin() {
  anchor_bounds_ = bounds_;
  anchor_parent_size_ = parent_ != nullptr ? parent_->ClientSize() : TSize{};
}

void TControl::FollowAnchors(TPassKey<TWinControl>, TSize parent_client_size) {
  SetBoundsQuiet(AnchoredBounds(parent_client_size));
}

void TControl::ParentFormLoses(const TControl& control) const {
  TCustomForm* form = ParentForm();
  if (form != nullptr && form != &control) form->ControlHiddenOrRemoved({}, &control);
}

TBounds TControl::AnchoredBounds(TSize parent_client_size) const {
  TBounds b = anchor_bounds_;
  // One axis: both edges anchored stretch, the far edge alone moves, neither keeps the
  // control's centre at the same proportion of the parent's extent.
  auto axis = [](int32_t& pos, int32_t& size, bool near_edge, bool far_edge, int32_t old_extent,
                 int32_t new_extent) {
    const int32_t delta = new_extent - old_extent;
    if (far_edge && near_edge) {
      size += delta;
    } else if (far_edge) {
      pos += delta;
    } else if (!near_edge && old_extent > 0) {
      pos = MulDiv(pos + size / 2, new_extent, old_extent) - size / 2;
    }
  };
  axis(b.left, b.width, anchors_.Contains(akLeft), anchors_.Contains(akRight),
       anchor_parent_size_.cx, parent_client_size.cx);
  axis(b.top, b.height, anchors_.Contains(akTop), anchors_.Contains(akBottom),
       anchor_parent_size_.cy, parent_client_size.cy);
  return b;
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  CaptionChanged();
}

void TControl::CaptionChanged() {
  Changed(ControlChange::Text);
  if (auto_size_ && !Loading()) AdjustSize();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed(ControlChange::Enabled);
  if (!enabled_) {
    ParentFormLoses(*this);
  }
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed(ControlChange::Visible);
  if (!visible_) {
    ParentFormLoses(*this);
  }
  if (parent_ != nullptr) parent_->ChildLayoutChanged({}, this);
}

bool TControl::Showing() const {
  const TControl* c = this;
  for (; c->parent_ != nullptr; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return c->visible_ && dynamic_cast<const TCustomForm*>(c) != nullptr;
}

bool TControl::Reachable() const {
  const TControl* c = this;
  for (; c->parent_ != nullptr; c = c->parent_) {
    if (!c->visible_ || !c->enabled_) return false;
  }
  return c->visible_ && c->enabled_ && dynamic_cast<const TCustomForm*>(c) != nullptr;
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  const TAlign old = align_;
  align_ = align;
  if (align_ == TAlign::alNone) CaptureAnchorOrigin();
  if (parent_ != nullptr && (old != TAlign::alNone || align_ != TAlign::alNone)) {
    if (!parent_->Loading()) parent_->Realign();
  }
}

void TControl::SetAnchors(TAnchors anchors) {
  anchors_ = anchors;
  CaptureAnchorOrigin();
}

void TControl::SetParentFont(bool value) {
  parent_font_ = value;
  if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parent_font_ || parent_ == nullptr) return;
  const TFlagScope following(following_parent_font_);
  font_->Assign(parent_->Font());
}

void TControl::FontChanged() {
  Changed(ControlChange::Font);
  if (auto_size_ && !Loading()) AdjustSize();
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed(ControlChange::Color);
}

void TControl::SetAutoSize(bool value) {
  if (value == auto_size_) return;
  auto_size_ = value;
  if (auto_size_ && !Loading()) AdjustSize();
}

void TControl::Click() { on_click_.Fire(this); }

void TControl::DoMouseDown(TMouseButton /*button*/, ShiftState /*shift*/, TPoint /*point*/) {}

void TControl::Changed(ControlChange change) {
  if (peer_ != nullptr) peer_->Changed(change);
}

void TControl::CreatePeers(WindowHandle owner) { peer_ = UiBackend().CreatePeer(*this, owner); }

void TControl::DestroyPeers() { peer_.reset(); }

void TControl::Loaded() {
  TComponent::Loaded();
  if (auto_size_) AdjustSize();
}

void TControl::ChangeScale(int32_t m, int32_t d) {
  if (m == d || d == 0) return;
  TBounds b;
  b.left = MulDiv(bounds_.left, m, d);
  b.top = MulDiv(bounds_.top, m, d);
  b.width = MulDiv(bounds_.left + bounds_.width, m, d) - b.left;
  b.height = MulDiv(bounds_.top + bounds_.height, m, d) - b.top;
  if (!parent_font_) font_->SetHeight(MulDiv(font_->Height(), m, d));
  SetBoundsQuiet(b);
  CaptureAnchorOrigin();
}

}  // namespace tvx
