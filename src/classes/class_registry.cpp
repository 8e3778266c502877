// The registry of classes and of stored descriptions, both by name.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "classes/class_info.h"
#include "classes/collection.h"
#include "classes/component.h"
#include "rtl/exceptions.h"

namespace tvx {
namespace {

struct Registry {
  std::vector<std::unique_ptr<TClassInfo>> classes;
  std::map<std::string, const TClassInfo*, std::less<>> by_name;
  std::map<std::string, const char*, std::less<>> descriptions;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

template <class Info>
const Info* FindIn(const TClassInfo* info, std::string_view name,
                   const std::vector<Info>& (*list)(const TClassInfo&)) {
  for (; info != nullptr; info = info->Parent()) {
    for (const Info& item : list(*info)) {
      if (item.name == name) return &item;
    }
  }
  return nullptr;
}

}  // namespace

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent)
    : name_(std::move(name)), parent_(parent) {}

bool TClassInfo::InheritsFrom(const TClassInfo& ancestor) const {
  for (const TClassInfo* info = this; info != nullptr; info = info->parent_) {
    if (info == &ancestor) return true;
  }
  return false;
}

TComponent* TClassInfo::CreateComponent(TComponent* owner) const {
  if (component_factory_ == nullptr) {
    throw EComponentError("Class " + name_ + " cannot be created as a component");
  }
  return component_factory_(owner);
}

TCollectionItem* TClassInfo::CreateItem(TCollection* collection) const {
  if (item_factory_ == nullptr) {
    throw EComponentError("Class " + name_ + " cannot be created as a collection item");
  }
  return item_factory_(collection);
}

const TPropertyInfo* TClassInfo::FindProperty(std::string_view name) const {
  return FindIn<TPropertyInfo>(
      this, name, [](const TClassInfo& c) -> const auto& { return c.properties_; });
}

const THandlerInfo* TClassInfo::FindHandler(std::string_view name) const {
  return FindIn<THandlerInfo>(
      this, name, [](const TClassInfo& c) -> const auto& { return c.handlers_; });
}

const TFieldInfo* TClassInfo::FindField(std::string_view name) const {
  return FindIn<TFieldInfo>(
      this, name, [](const TClassInfo& c) -> const auto& { return c.fields_; });
}

TPropertyInfo& TClassInfo::AddProperty(std::string name, TPropertyKind kind,
                                       std::string type_name) {
  TPropertyInfo& info = properties_.emplace_back();
  info.name = std::move(name);
  info.kind = kind;
  info.type_name = std::move(type_name);
  return info;
}

void TClassInfo::AddHandler(std::string name, std::any binder) {
  handlers_.push_back(THandlerInfo{std::move(name), std::move(binder)});
}

TFieldInfo& TClassInfo::AddField(std::string name) {
  TFieldInfo& info = fields_.emplace_back();
  info.name = std::move(name);
  return info;
}

const TClassInfo& RegisterClassInfo(std::unique_ptr<TClassInfo> info) {
  Registry& registry = TheRegistry();
  if (registry.by_name.contains(info->Name())) {
    throw EComponentError("A class named " + info->Name() + " is already registered");
  }
  const TClassInfo& result = *info;
  registry.by_name.emplace(info->Name(), info.get());
  registry.classes.push_back(std::move(info));
  return result;
}

const TClassInfo* FindClass(std::string_view name) {
  const Registry& registry = TheRegistry();
  auto found = registry.by_name.find(name);
  return found == registry.by_name.end() ? nullptr : found->second;
}

const TClassInfo& GetClass(std::string_view name) {
  const TClassInfo* info = FindClass(name);
  if (info == nullptr) throw EComponentError("Class " + std::string(name) + " not found");
  return *info;
}

void RegisterDescription(std::string class_name, const char* text) {
  TheRegistry().descriptions.insert_or_assign(std::move(class_name), text);
}

const char* FindDescription(std::string_view class_name) {
  const Registry& registry = TheRegistry();
  auto found = registry.descriptions.find(class_name);
  return found == registry.descriptions.end() ? nullptr : found->second;
}

}  // namespace tvx
