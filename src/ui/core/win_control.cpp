#include "ui/core/win_control.h"

#include <algorithm>

#include "classes/class_builder.h"
#include "rtl/ascii.h"
#include "rtl/exceptions.h"
#include "ui/core/form.h"

namespace tvx {

namespace {
constexpr const char* kCannotFocus = "Cannot focus a disabled or invisible window";

bool IsInside(const TControl* inner, const TControl* outer) {
  for (const TControl* c = inner; c != nullptr; c = c->Parent()) {
    if (c == outer) return true;
  }
  return false;
}
}  // namespace

TVX_IMPLEMENT_CLASS(TWinControl) {
  TVX_PROPERTY(TabOrder);
  TVX_PROPERTY(TabStop);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() { DestroyChildren(); }

void TWinControl::BeforeDestruction() {
  DestroyChildren();
  TControl::BeforeDestruction();
}

void TWinControl::DestroyChildren() {
  // Each child takes itself out of controls_ as it goes.
  while (!controls_.empty()) controls_.back()->Free();
}

TControl* TWinControl::Controls(int32_t index) const {
  if (index < 0 || index >= ControlCount()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  return controls_[static_cast<size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const { return IsInside(control, this); }

TControl* TWinControl::FindChildControl(std::string_view name) const {
  for (TControl* child : controls_) {
    if (SameTextAscii(child->Name(), name)) return child;
  }
  for (TControl* child : controls_) {
    if (auto* window = dynamic_cast<TWinControl*>(child)) {
      if (TControl* found = window->FindChildControl(name)) return found;
    }
  }
  return nullptr;
}

void TWinControl::InsertControl(TPassKey<TControl>, TControl* control) {
  controls_.push_back(control);
  if (auto* window = dynamic_cast<TWinControl*>(control)) tab_list_.push_back(window);
  if (Peer() != nullptr) control->CreatePeersAsChild({});
  ChildLayoutChanged(control);
}

void TWinControl::RemoveControl(TPassKey<TControl>, TControl* control) {
  ParentFormLoses(*control);
  control->DestroyPeersAsChild({});
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  const auto tab_end = std::remove(tab_list_.begin(), tab_list_.end(), control);
  const bool windowed = tab_end != tab_list_.end();
  tab_list_.erase(tab_end, tab_list_.end());
  if (ComponentState().Contains(csDestroying)) return;
  // The group of radio buttons that the removed control divided may now be one.
  if (windowed) Changed(ControlChange::TabOrder);
  ChildLayoutChanged(control);
}

int32_t TWinControl::TabOrder() const {
  if (Parent() == nullptr) return -1;
  const auto& list = Parent()->tab_list_;
  return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int32_t order) {
  if (Loading()) {
    loaded_tab_order_ = order;
    return;
  }
  if (Parent() == nullptr) return;
  auto& list = Parent()->tab_list_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  const auto place =
      static_cast<size_t>(std::clamp<int32_t>(order, 0, static_cast<int32_t>(list.size())));
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(place), this);
  Parent()->Changed(ControlChange::TabOrder);
}

void TWinControl::SortTabList() {
  // Controls given a Tab order by a description take it; the others keep the order in
  // which they were placed.
  std::vector<std::pair<int32_t, TWinControl*>> keyed;
  for (size_t i = 0; i < tab_list_.size(); ++i) {
    TWinControl* control = tab_list_[i];
    const int32_t key =
        control->loaded_tab_order_ >= 0 ? control->loaded_tab_order_ : static_cast<int32_t>(i);
    keyed.emplace_back(key, control);
    control->loaded_tab_order_ = -1;
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  bool moved = false;
  for (size_t i = 0; i < keyed.size(); ++i) {
    moved = moved || tab_list_[i] != keyed[i].second;
    tab_list_[i] = keyed[i].second;
  }
  if (moved) Changed(ControlChange::TabOrder);
}

void TWinControl::SetTabStop(bool value) {
  if (value == tab_stop_) return;
  tab_stop_ = value;
  if (Parent() != nullptr) Parent()->Changed(ControlChange::TabOrder);
}

bool TWinControl::CanFocus() const {
  const TCustomForm* form = ParentForm();
  if (form == nullptr) return false;
  for (const TControl* c = this; c != form; c = c->Parent()) {
    if (!c->Visible() || !c->Enabled()) return false;
  }
  return true;
}

bool TWinControl::Focused() const {
  const TCustomForm* form = ParentForm();
  return form != nullptr && form != this && form->Active() && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  TCustomForm* form = ParentForm();
  if (form == nullptr || form == this || !CanFocus()) throw EInvalidOperation(kCannotFocus);
  form->FocusControl(this);
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
  std::vector<TWinControl*> list;
  for (TWinControl* child : tab_list_) {
    list.push_back(child);
    std::vector<TWinControl*> inner = child->TabOrderList();
    list.insert(list.end(), inner.begin(), inner.end());
  }
  return list;
}

TWinControl* TWinControl::FindNextControl(const TWinControl* current, bool forward,
                                          bool check_tab_stop) const {
  const std::vector<TWinControl*> list = TabOrderList();
  if (list.empty()) return nullptr;
  const auto count = static_cast<std::ptrdiff_t>(list.size());
  std::ptrdiff_t start = std::find(list.begin(), list.end(), current) - list.begin();
  if (start == count) start = forward ? count - 1 : 0;
  std::ptrdiff_t i = start;
  do {
    i = forward ? (i + 1) % count : (i + count - 1) % count;
    TWinControl* candidate = list[static_cast<size_t>(i)];
    if (candidate->CanFocus() && (!check_tab_stop || candidate->IsTabStop())) return candidate;
  } while (i != start);
  return nullptr;
}

bool TWinControl::SelectNext(const TWinControl* current, bool forward, bool check_tab_stop) {
  TWinControl* next = FindNextControl(current, forward, check_tab_stop);
  if (next == nullptr) return false;
  next->SetFocus();
  return true;
}

bool TWinControl::DoKeyDown(KeyCode /*key*/, ShiftState /*shift*/) { return false; }

bool TWinControl::DoText(const std::string& /*text*/) { return false; }

TRect TWinControl::AlignRect() const {
  const TSize client = ClientSize();
  return TRect{0, 0, client.cx, client.cy};
}

void TWinControl::ChildLayoutChanged(const TControl* child) {
  if (child->Align() != TAlign::alNone) Realign();
}

void TWinControl::Realign() {
  if (laying_out_ || Loading() || ComponentState().Contains(csDestroying)) return;
  const TFlagScope laying_out = LayingOut();
  TRect space = AlignRect();
  const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight,
                          TAlign::alClient};
  for (TAlign align : order) {
    std::vector<TControl*> aligned;
    for (TControl* child : controls_) {
      if (child->Align() == align && child->Visible()) aligned.push_back(child);
    }
    // Controls stacked against an edge keep the order of their distance from it.
    std::stable_sort(aligned.begin(), aligned.end(), [align](TControl* a, TControl* b) {
      switch (align) {
        case TAlign::alTop:
          return a->Top() < b->Top();
        case TAlign::alBottom:
          return a->Top() + a->Height() > b->Top() + b->Height();
        case TAlign::alLeft:
          return a->Left() < b->Left();
        case TAlign::alRight:
          return a->Left() + a->Width() > b->Left() + b->Width();
        default:
          return false;
      }
    });
    for (TControl* child : aligned) {
      TBounds b = child->Bounds();
      switch (align) {
        case TAlign::alTop:
          b = {space.left, space.top, space.Width(), b.height};
          space.top += b.height;
          break;
        case TAlign::alBottom:
          b = {space.left, space.bottom - b.height, space.Width(), b.height};
          space.bottom -= b.height;
          break;
        case TAlign::alLeft:
          b = {space.left, space.top, b.width, space.Height()};
          space.left += b.width;
          break;
        case TAlign::alRight:
          b = {space.right - b.width, space.top, b.width, space.Height()};
          space.right -= b.width;
          break;
        default:
          b = {space.left, space.top, space.Width(), space.Height()};
          break;
      }
      child->PlaceByLayout({}, b);
    }
  }
}

void TWinControl::ApplyAnchors() {
  const TSize client = ClientSize();
  for (TControl* child : controls_) {
    if (child->Align() == TAlign::alNone) child->FollowAnchors({}, client);
  }
}

void TWinControl::BoundsChanged(TSize old_client_size, bool by_layout) {
  const TSize client = ClientSize();
  if (client == old_client_size || laying_out_) return;
  if (Loading() && !by_layout) {
    // A size given by a description: the children's positions are given for it.
    CaptureChildrenAnchors();
    return;
  }
  ApplyAnchors();
  Realign();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  SortTabList();
  if (Parent() != nullptr && !Parent()->Loading()) Parent()->SortTabList();
  Realign();
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* child : controls_) child->ParentFontChanged({});
}

void TWinControl::ChangeScale(int32_t m, int32_t d) {
  if (m == d || d == 0) return;
  const TFlagScope laying_out = LayingOut();
  TControl::ChangeScale(m, d);
  ScaleChildren(m, d);
}

void TWinControl::ScaleChildren(int32_t m, int32_t d) {
  for (TControl* child : controls_) child->ChangeScale(m, d);
}

void TWinControl::CaptureChildrenAnchors() {
  for (TControl* child : controls_) child->CaptureAnchorOrigin({});
}

void TWinControl::CreatePeers(WindowHandle owner) {
  TControl::CreatePeers(owner);
  for (TControl* child : controls_) child->CreatePeersAsChild({});
}

void TWinControl::DestroyPeers() {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) (*it)->DestroyPeersAsChild({});
  TControl::DestroyPeers();
}

}  // namespace tvx
