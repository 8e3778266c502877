// Data modules: non-visual components that own the components placed on them and fire a
// creation and a destruction event.
#pragma once

#include <cstdint>

#include "classes/component.h"
#include "classes/events.h"

namespace tvx {

// Creation (through Create): the constructors; then AfterConstruction applies the stored
// descriptions of the classes below DescriptionBase() down to the object's own class (a class
// below it without any raises EResNotFound "Resource not found: <class name>") and fires
// OnCreate, right after the descriptions when OldCreateOrder is true, else once
// AfterCreation() of the derived classes has run too.
// Destruction (through Free): BeforeDestruction marks the module as being destroyed, fires
// OnDestroy first when OldCreateOrder is false, then runs FreeOwnedObjects(), then fires
// OnDestroy when OldCreateOrder is true, then frees the owned components.
// An exception from OnCreate or OnDestroy goes to ApplicationHandleException; creation or
// destruction goes on. OnDestroy does not fire for a module whose creation failed.
class TDataModule : public TComponent {
  TVX_DECLARE_CLASS(TDataModule, TComponent)

  explicit TDataModule(TComponent* owner);

  TNotifyEvent& OnCreate() { return on_create_; }
  const TNotifyEvent& OnCreate() const { return on_create_; }
  TNotifyEvent& OnDestroy() { return on_destroy_; }
  const TNotifyEvent& OnDestroy() const { return on_destroy_; }
  bool OldCreateOrder() const { return old_create_order_; }
  void SetOldCreateOrder(bool value) { old_create_order_ = value; }

  // The size in a designer; no effect at run time.
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetWidth(int32_t value) { width_ = value; }
  void SetHeight(int32_t value) { height_ = value; }

 protected:
  ~TDataModule() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // The class whose descendants' descriptions are applied (default TDataModule). An object of
  // exactly this class applies none.
  virtual const TClassInfo& DescriptionBase() const;
  // Derived classes' construction that needs the applied descriptions; runs before OnCreate
  // when OldCreateOrder is false, after it when true.
  virtual void AfterCreation() {}
  // Frees what the module owns besides its components, between the two moments at which
  // OnDestroy may fire.
  virtual void FreeOwnedObjects() {}

  // Fire the events, handing their exceptions to ApplicationHandleException.
  virtual void DoCreate();
  virtual void DoDestroy();

 private:
  TNotifyEvent on_create_;
  TNotifyEvent on_destroy_;
  bool old_create_order_ = false;
  bool created_ = false;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t left_ = 0;
  int32_t top_ = 0;
  int32_t horizontal_offset_ = 0;
  int32_t vertical_offset_ = 0;
};

}  // namespace tvx
