#include "classes/component.h"

#include <algorithm>
#include <string>

#include "classes/class_builder.h"
#include "rtl/ascii.h"
#include "rtl/exceptions.h"

namespace tvx {
namespace {

bool IsValidIdent(const std::string& name) {
  if (name.empty() || !(IsAsciiLetter(name[0]) || name[0] == '_')) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char ch) { return IsAsciiLetter(ch) || IsAsciiDigit(ch) || ch == '_'; });
}

void Erase(std::vector<TComponent*>& list, TComponent* component) {
  list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

}  // namespace

TVX_IMPLEMENT_CLASS(TComponent) {
  TVX_PROPERTY(Name);
  TVX_PROPERTY(Tag);
}

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Normally BeforeDestruction has done all this already; these steps remain for an object
  // whose construction failed.
  Destroying();
  SendFreeNotifications();
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
  Destroying();
  SendFreeNotifications();
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
  TPersistent::BeforeDestruction();
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) {
    throw EComponentError("'" + name + "' is not a valid component name");
  }
  if (owner_ != nullptr && !name.empty() && !SameTextAscii(name, name_)) {
    if (owner_->FindComponent(name) != nullptr) {
      throw EComponentError("A component named " + name + " already exists");
    }
  }
  std::string old_name = name_;
  SetReference(false);
  name_ = name;
  try {
    SetReference(true);
  } catch (...) {
    name_ = std::move(old_name);
    SetReference(true);
    throw;
  }
}

TPersistent* TComponent::GetOwner() const { return owner_; }

TComponent* TComponent::Components(int32_t index) const {
  if (index < 0 || index >= ComponentCount()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* component : components_) {
    if (SameTextAscii(component->name_, name)) return component;
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->owner_ == this) return;
  for (const TComponent* c = this; c != nullptr; c = c->owner_) {
    if (c == component) throw EComponentError("A component cannot own itself or its owner");
  }
  if (FindComponent(component->name_) != nullptr) {
    throw EComponentError("A component named " + component->name_ + " already exists");
  }
  if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
  Insert(component);
  try {
    component->SetReference(true);
  } catch (...) {
    Remove(component);
    throw;
  }
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component->owner_ != this) return;
  Notification(component, opRemove);
  component->SetReference(false);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  Erase(components_, component);
  component->owner_ = nullptr;
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* component : components_) component->Destroying();
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* component = components_.back();
    component->SetReference(false);
    Remove(component);
    component->Free();
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end()) {
    free_notifies_.push_back(component);
    component->free_notifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  Erase(free_notifies_, component);
  Erase(component->free_notifies_, this);
}

void TComponent::SendFreeNotifications() {
  while (!free_notifies_.empty()) {
    TComponent* component = free_notifies_.back();
    free_notifies_.pop_back();
    Erase(component->free_notifies_, this);
    component->Notification(this, opRemove);
  }
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation != opRemove || component == nullptr) return;
  RemoveFreeNotification(component);
  // By index: a notified component may change the list.
  for (size_t i = 0; i < components_.size(); ++i) {
    if (components_[i] != component) components_[i]->Notification(component, operation);
  }
}

void TComponent::Loaded() { SetLoading(false); }

void TComponent::SetLoading(bool loading) {
  if (loading) {
    state_.Include(csLoading);
  } else {
    state_.Exclude(csLoading);
  }
}

// Points the owner's field of this component's name (if it has one) at this component, or
// clears it.
void TComponent::SetReference(bool enable) {
  if (owner_ == nullptr || name_.empty()) return;
  const TFieldInfo* field = owner_->ClassType().FindField(name_);
  if (field == nullptr) return;
  if (!field->set(owner_, enable ? this : nullptr)) {
    throw EComponentError("Component " + name_ + " is a " + ClassName() + ", but the field " +
                          field->name + " of " + owner_->ClassName() + " holds a " +
                          field->value_class().Name());
  }
}

}  // namespace tvx
