#include "classes/data_module.h"

#include <exception>

#include "classes/application_hooks.h"
#include "classes/class_builder.h"
#include "classes/description.h"
#include "rtl/exceptions.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TDataModule) {
  TVX_PROPERTY(OldCreateOrder);
  c.Event("OnCreate", &TDataModule::on_create_);
  c.Event("OnDestroy", &TDataModule::on_destroy_);
  TVX_PROPERTY(Width);
  TVX_PROPERTY(Height);
  // Where a designer showed the module: kept, with no effect.
  c.Property("Left", &TDataModule::left_);
  c.Property("Top", &TDataModule::top_);
  c.Property("HorizontalOffset", &TDataModule::horizontal_offset_);
  c.Property("VerticalOffset", &TDataModule::vertical_offset_);
}

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {}

TDataModule::~TDataModule() = default;

const TClassInfo& TDataModule::DescriptionBase() const { return TDataModule::StaticClass(); }

void TDataModule::AfterConstruction() {
  TComponent::AfterConstruction();
  const TClassInfo& base = DescriptionBase();
  if (&ClassType() != &base && !InitInheritedComponent(this, base)) {
    throw EResNotFound("Resource not found: " + ClassName());
  }
  if (old_create_order_) DoCreate();
  AfterCreation();
  if (!old_create_order_) DoCreate();
  created_ = true;
}

void TDataModule::BeforeDestruction() {
  Destroying();
  if (created_ && !old_create_order_) DoDestroy();
  FreeOwnedObjects();
  if (created_ && old_create_order_) DoDestroy();
  TComponent::BeforeDestruction();
}

void TDataModule::DoCreate() {
  try {
    on_create_.Fire(this);
  } catch (...) {
    ApplicationHandleException(this, std::current_exception());
  }
}

void TDataModule::DoDestroy() {
  try {
    on_destroy_.Fire(this);
  } catch (...) {
    ApplicationHandleException(this, std::current_exception());
  }
}

}  // namespace tvx
