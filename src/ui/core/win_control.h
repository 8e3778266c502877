// Controls that hold other controls and can take the focus: children in order, the tab
// order among windowed siblings, focus, keys, alignment of children and anchors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rtl/flag_scope.h"
#include "ui/core/control.h"

namespace tvx {

class TWinControl : public TControl {
  TVX_DECLARE_CLASS(TWinControl, TControl)

  explicit TWinControl(TComponent* owner);

  // Children in the order in which they were placed (the order in which they are drawn).
  int32_t ControlCount() const { return static_cast<int32_t>(controls_.size()); }
  // Raises EListError outside 0..ControlCount()-1.
  TControl* Controls(int32_t index) const;
  // Whether control is this one or lies somewhere inside it.
  bool ContainsControl(const TControl* control) const;
  // The control of that name (without regard to case) inside this one, at any depth.
  TControl* FindChildControl(std::string_view name) const;

  // The position among the parent's windowed children in Tab order (0 first), -1 without a
  // parent. Setting it moves the control there (clamped to the last place); while a
  // description is applied the value is kept and the order is settled once all are loaded.
  int32_t TabOrder() const;
  void SetTabOrder(int32_t order);
  bool TabStop() const { return tab_stop_; }
  virtual void SetTabStop(bool value);
  // Whether Tab navigation stops at this control (its TabStop, unless the class decides
  // otherwise, as radio buttons do).
  virtual bool IsTabStop() const { return tab_stop_; }

  // Whether the control can take the focus: it lies in a form, and it and every parent up to
  // the form are visible and enabled.
  bool CanFocus() const;
  // Whether it is the focused control of the active form.
  bool Focused() const;
  // Moves the focus here; raises EInvalidOperation when the control cannot take it.
  void SetFocus();

  // The windowed children in Tab order.
  const std::vector<TWinControl*>& TabList() const { return tab_list_; }
  // The windowed controls inside this one in Tab order: each child, then the controls
  // inside it, and so on.
  std::vector<TWinControl*> TabOrderList() const;
  // The control that Tab (forward) or Shift+Tab reaches from `current` among those inside
  // this one, wrapping around; null when there is none. check_tab_stop skips controls that
  // are no tab stop; controls that cannot take the focus are always skipped.
  TWinControl* FindNextControl(const TWinControl* current, bool forward, bool check_tab_stop) const;
  // Moves the focus to FindNextControl's result, if any; returns whether it moved.
  bool SelectNext(const TWinControl* current, bool forward, bool check_tab_stop);

  // Whether a click of the mouse moves the focus into the control (buttons, fields, grids)
  // or leaves it where it is (panels, group boxes).
  virtual bool FocusOnClick() const { return false; }

  // Key hooks: a key pressed or text typed while the control has the focus. Return true when
  // the control used it; otherwise the form handles it (Tab, Enter, Escape).
  virtual bool DoKeyDown(KeyCode key, ShiftState shift);
  virtual bool DoText(const std::string& text);
  // The focus moves into or out of the control. DoExit may raise to keep the focus where it
  // is (a field that refuses to be left with an invalid text).
  virtual void DoEnter() {}
  virtual void DoExit() {}

  // Places the aligned children again (done by itself whenever something they depend on
  // changes; not while a description is being applied).
  void Realign();
  // The part of the client area that aligned children share (the client area less borders).
  virtual TRect AlignRect() const;

  void ChangeScale(int32_t m, int32_t d) override;

  // For the children alone (a TControl placed into or taken out of this one, or one whose
  // size, alignment or visibility changed).
  void InsertControl(TPassKey<TControl>, TControl* control);
  void RemoveControl(TPassKey<TControl>, TControl* control);
  void ChildLayoutChanged(TPassKey<TControl>, const TControl* child) { ChildLayoutChanged(child); }

 protected:
  ~TWinControl() override;
  void BeforeDestruction() override;
  void Loaded() override;
  void FontChanged() override;
  void BoundsChanged(TSize old_client_size, bool by_layout) override;
  void CreatePeers(WindowHandle owner) override;
  void DestroyPeers() override;

  // Frees the children, last first.
  void DestroyChildren();
  // Marks the control as placing its children itself for the scope's length (alignment,
  // scaling), so that their moves do not start another placement.
  [[nodiscard]] TFlagScope LayingOut() { return TFlagScope(laying_out_); }
  // Scales each child by m/d (see ChangeScale); the caller holds LayingOut().
  void ScaleChildren(int32_t m, int32_t d);
  // The children's anchors measure from their present bounds and this control's client size.
  void CaptureChildrenAnchors();

 private:
  void ApplyAnchors();
  void ChildLayoutChanged(const TControl* child);
  void SortTabList();

  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tab_list_;
  bool tab_stop_ = false;
  int32_t loaded_tab_order_ = -1;
  // Set while the control places its children itself (see LayingOut).
  bool laying_out_ = false;
};

}  // namespace tvx
