// Components: objects with a name and an owner that owns and frees them, the unit of which
// windows, their controls, data modules and the plug-in object are made.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "classes/persistent.h"
#include "classes/set.h"

namespace tvx {

enum TComponentStateFlag {
  csLoading,     // its stored description is being applied
  csDestroying,  // it is being freed
};
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
  TVX_DECLARE_CLASS(TComponent, TPersistent)

  // Inserts the new component into owner's components (when there is an owner).
  explicit TComponent(TComponent* owner);

  // The name: empty, or an identifier (a letter or '_', then letters, digits or '_') that no
  // other component of the same owner has, compared without regard to case. Raises
  // EComponentError otherwise. Renaming updates the owner's field of the old and new name.
  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name);

  int32_t Tag() const { return tag_; }
  void SetTag(int32_t tag) { tag_ = tag; }

  TComponent* Owner() const { return owner_; }
  TPersistent* GetOwner() const override;

  // Owned components, in the order of insertion.
  int32_t ComponentCount() const { return static_cast<int32_t>(components_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0..ComponentCount()-1.
  TComponent* Components(int32_t index) const;
  // The owned component of that name (without regard to case), or null.
  TComponent* FindComponent(std::string_view name) const;
  // Takes a component into this one's ownership (out of its previous owner's, if any).
  void InsertComponent(TComponent* component);
  // Gives a component up: it no longer has an owner.
  void RemoveComponent(TComponent* component);

  TComponentState ComponentState() const { return state_; }
  // Marks the component, and the components it owns, as being destroyed.
  void Destroying();

  // Asks to be told (through Notification with opRemove) when component is freed, though it
  // has another owner. Either side's end cancels the request.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Placing in a tree other than the ownership tree (controls within their parent control).
  // A stored description calls SetParentComponent with the component that encloses a child.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent);

 protected:
  ~TComponent() override;
  // Marks the component as being destroyed and frees its owned components (while it is still
  // whole; overrides call it last).
  void BeforeDestruction() override;

  // Told of components inserted into or removed from its owner (or its own components), and of
  // freed components whose FreeNotification it asked for. The default passes removals on to
  // the owned components.
  virtual void Notification(TComponent* component, TOperation operation);
  // After a stored description has been applied (all components of it exist and references are
  // resolved): leaves the loading state. Overrides call the inherited one first.
  virtual void Loaded();
  // Frees the owned components, last first.
  void DestroyComponents();

 private:
  friend class TDescriptionReader;
  void SetLoading(bool loading);
  void SetReference(bool enable);
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void SendFreeNotifications();

  std::string name_;
  int32_t tag_ = 0;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> free_notifies_;
  TComponentState state_;
};

}  // namespace tvx
