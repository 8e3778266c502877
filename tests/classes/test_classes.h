// Classes that the component model's tests create, describe and look into.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classes/collection.h"
#include "classes/component.h"
#include "classes/data_module.h"
#include "classes/events.h"
#include "classes/set.h"

namespace tvx::test {

// What the test objects did, in order ("create Module1", "Loaded Widget1", ...).
std::vector<std::string>& Log();

enum TTestColor { tcRed, tcGreen, tcBlue };
using TTestColors = TSet<TTestColor>;

class TTestFont : public TPersistent {
  TVX_DECLARE_CLASS(TTestFont, TPersistent)
  std::string name;
  int32_t size = 0;
  void Assign(const TPersistent* source) override;
};

class TTestItem : public TCollectionItem {
  TVX_DECLARE_CLASS(TTestItem, TCollectionItem)
  explicit TTestItem(TCollection* collection) : TCollectionItem(collection) {}
  std::string name;
  int32_t value = 0;
  TNotifyEvent on_ping;
  std::string GetDisplayName() const override;
  void Assign(const TPersistent* source) override;
};

// Names its items "Item<ID>" and counts the change reports.
class TTestItems : public TCollection {
  TVX_DECLARE_CLASS(TTestItems, TCollection)
  explicit TTestItems(TPersistent* owner) : TCollection(TTestItem::StaticClass()), owner_(owner) {}
  TTestItem* Add() { return static_cast<TTestItem*>(TCollection::Add()); }
  TTestItem* Items(int32_t index) const {
    return static_cast<TTestItem*>(TCollection::Items(index));
  }
  TPersistent* GetOwner() const override { return owner_; }
  int updates = 0;

 protected:
  void SetItemName(TCollectionItem* item) override;
  void Update(TCollectionItem*) override { ++updates; }

 private:
  TPersistent* owner_;
};

// A component that a description places inside another (its parent component).
class TTestWidget : public TComponent {
  TVX_DECLARE_CLASS(TTestWidget, TComponent)
  explicit TTestWidget(TComponent* owner) : TComponent(owner) { ++live; }
  std::string caption;
  TTestWidget* buddy = nullptr;
  TComponent* parent = nullptr;
  bool set_while_loading = false;
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return parent; }
  void SetParentComponent(TComponent* value) override { parent = value; }
  const std::string& Caption() const { return caption; }
  void SetCaption(const std::string& value);
  static int live;  // widgets that exist

 protected:
  ~TTestWidget() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
};

// A root with a published property of every kind, three events and their handlers.
class TTestRoot : public TComponent {
  TVX_DECLARE_CLASS(TTestRoot, TComponent)
  explicit TTestRoot(TComponent* owner);

  std::string text;
  int32_t number = 0;
  uint16_t shortcut = 0;
  bool flag = false;
  double ratio = 0;
  TTestColor color = tcRed;
  TTestColors colors;
  TTestWidget* link = nullptr;
  TTestFont* Font() const { return font_.get(); }
  TTestItems* Items() const { return items_.get(); }

  TNotifyEvent on_notify;
  TEvent<int32_t, std::string> on_message;
  TEvent<bool&> on_query;

  // Fields bound to the owned components of these names.
  TTestWidget* Widget1 = nullptr;
  TTestWidget* Widget2 = nullptr;

  void HandleNotify(TObject* sender);
  void HandleMessage(TObject* sender, int32_t number, std::string text);
  void HandleQuery(TObject* sender, bool& allow);

 protected:
  ~TTestRoot() override;
  void Loaded() override;

 private:
  TOwned<TTestFont> font_;
  TOwned<TTestItems> items_;
};

// Data modules for the creation and destruction order. TTestModule has a description that
// sets its name and its Caption and binds OnCreate and OnDestroy; TTestModuleDerived adds one
// that changes the Caption; TTestModuleMiddle, between them, has none.
class TTestModule : public TDataModule {
  TVX_DECLARE_CLASS(TTestModule, TDataModule)
  explicit TTestModule(TComponent* owner);
  std::string caption;
  std::vector<std::string> captions;  // every value written to Caption, in order
  const std::string& Caption() const { return caption; }
  void SetCaption(const std::string& value);
  void ModuleCreate(TObject* sender);
  void ModuleDestroy(TObject* sender);
  static bool throw_in_events;  // the event handlers raise
  static int live;

 protected:
  ~TTestModule() override;
  void AfterCreation() override;
  void FreeOwnedObjects() override;
};

class TTestModuleMiddle : public TTestModule {
  TVX_DECLARE_CLASS(TTestModuleMiddle, TTestModule)
  using TTestModule::TTestModule;
};

class TTestModuleDerived : public TTestModuleMiddle {
  TVX_DECLARE_CLASS(TTestModuleDerived, TTestModuleMiddle)
  using TTestModuleMiddle::TTestModuleMiddle;
};

// Same as TTestModule, but its description has OldCreateOrder true.
class TTestOldOrderModule : public TTestModule {
  TVX_DECLARE_CLASS(TTestOldOrderModule, TTestModule)
  using TTestModule::TTestModule;
};

// Has no embedded description: tests register one at run time.
class TTestBrokenModule : public TTestModule {
  TVX_DECLARE_CLASS(TTestBrokenModule, TTestModule)
  using TTestModule::TTestModule;
};

// No class between TDataModule and it has a description.
class TTestUndescribedModule : public TDataModule {
  TVX_DECLARE_CLASS(TTestUndescribedModule, TDataModule)
  // Makes an owned widget first, to show that the failed object's parts are freed.
  explicit TTestUndescribedModule(TComponent* owner);
};

}  // namespace tvx::test
