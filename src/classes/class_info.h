// Class information: what the registry knows of each class of the component model (its
// name, its base, how to create it, its published properties, its handler methods and its
// component fields), and the lookup of classes and stored descriptions by name.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tvx {

class TObject;
class TClassInfo;
class TPersistent;
class TComponent;
class TCollection;
class TCollectionItem;

enum class TPropertyKind {
  String,
  Int32,
  UInt16,
  Bool,
  Double,
  Enum,        // one name of a list
  Set,         // an array of names of a list
  Object,      // a nested persistent object, written in place
  Collection,  // a collection, written item by item
  Component,   // a reference to a component by name
  Event,       // a handler method of the root object, by name
};

// The names of the values of an enumeration or of the members of a set, with their ordinals.
using TNameList = std::vector<std::pair<std::string, int64_t>>;

// A handler method that a stored description can bind to an event by name.
struct THandlerInfo {
  std::string name;
  // The binder; events accept it only when its type matches theirs (same parameters).
  std::any binder;
};

// A published property: a typed setter and a typed getter (for nested objects and
// collections, the getter of the object to fill in). Only the members of its kind are set.
struct TPropertyInfo {
  std::string name;
  TPropertyKind kind = TPropertyKind::String;
  // For messages: the enumeration's or set's type name (given at registration); the class of
  // a nested object, collection or referenced component is value_class().
  std::string type_name;
  const TClassInfo& (*value_class)() = nullptr;

  std::function<void(TObject*, const std::string&)> set_string;
  std::function<void(TObject*, int64_t)> set_integer;  // Int32, UInt16, Enum, Set (bit mask)
  std::function<void(TObject*, bool)> set_bool;
  std::function<void(TObject*, double)> set_double;
  TNameList names;  // Enum and Set
  std::function<TPersistent*(TObject*)> get_object;
  std::function<TCollection*(TObject*)> get_collection;
  std::function<bool(const TComponent*)> accepts_component;  // null is always accepted
  std::function<void(TObject*, TComponent*)> set_component;
  // Binds the event of an object to a handler of target; false when the handler's
  // parameters differ from the event's.
  std::function<bool(TObject* object, TObject* target, const THandlerInfo&)> bind_event;

  // The getters, one for each setter above.
  std::function<std::string(const TObject*)> get_string;
  std::function<int64_t(const TObject*)> get_integer;
  std::function<bool(const TObject*)> get_bool;
  std::function<double(const TObject*)> get_double;
  std::function<TComponent*(const TObject*)> get_component;
  // The published handler that the event is bound to by name, or null.
  std::function<const THandlerInfo*(const TObject*)> get_event;
};

// A published component field of an owner: it points at the owned component of that name
// (set when such a component is named or inserted, cleared when it is removed).
struct TFieldInfo {
  std::string name;
  const TClassInfo& (*value_class)() = nullptr;
  // Stores the component (or null) in the owner's field; false when its class does not fit.
  std::function<bool(TObject* owner, TComponent* value)> set;
};

class TClassInfo {
 public:
  using ComponentFactory = TComponent* (*)(TComponent* owner);
  using ItemFactory = TCollectionItem* (*)(TCollection* collection);

  TClassInfo(std::string name, const TClassInfo* parent);
  TClassInfo(const TClassInfo&) = delete;
  TClassInfo& operator=(const TClassInfo&) = delete;

  const std::string& Name() const { return name_; }
  const TClassInfo* Parent() const { return parent_; }
  bool InheritsFrom(const TClassInfo& ancestor) const;

  // Creation by class: a component with an owner, or an item in a collection. Each raises
  // EComponentError when the class cannot be created that way (abstract, or of another kind).
  bool CanCreateComponent() const { return component_factory_ != nullptr; }
  TComponent* CreateComponent(TComponent* owner) const;
  bool CanCreateItem() const { return item_factory_ != nullptr; }
  TCollectionItem* CreateItem(TCollection* collection) const;

  // Lookups through the class and its ancestors (the most-derived declaration wins).
  const TPropertyInfo* FindProperty(std::string_view name) const;
  const THandlerInfo* FindHandler(std::string_view name) const;
  const TFieldInfo* FindField(std::string_view name) const;

  // The class's own declarations, in the order of declaration.
  const std::vector<TPropertyInfo>& OwnProperties() const { return properties_; }
  const std::vector<THandlerInfo>& OwnHandlers() const { return handlers_; }

 private:
  template <class T>
  friend class TClassBuilder;
  template <class T>
  friend const TClassInfo& DefineClass(const char* name);

  // What the builder adds, made here once rather than in each of its many instantiations; the
  // builder fills in the accessors of the entry returned.
  TPropertyInfo& AddProperty(std::string name, TPropertyKind kind, std::string type_name = {});
  void AddHandler(std::string name, std::any binder);
  TFieldInfo& AddField(std::string name);

  std::string name_;
  const TClassInfo* parent_;
  ComponentFactory component_factory_ = nullptr;
  ItemFactory item_factory_ = nullptr;
  std::vector<TPropertyInfo> properties_;
  std::vector<THandlerInfo> handlers_;
  std::vector<TFieldInfo> fields_;
};

// Adds a class to the registry by name (DefineClass does it for every class); a second class
// of the same name is a programming error and raises EComponentError.
const TClassInfo& RegisterClassInfo(std::unique_ptr<TClassInfo> info);
// The registered class of that name, or null. A class is registered once its StaticClass()
// has been called: a layer makes sure that every class a description may name is.
const TClassInfo* FindClass(std::string_view name);
// As FindClass; raises EComponentError "Class %s not found" when there is none.
const TClassInfo& GetClass(std::string_view name);

// Stored descriptions by class name: the text is kept (not copied), so it must live as long
// as the program (an embedded text does). Registering a second text for a class replaces it.
void RegisterDescription(std::string class_name, const char* text);
const char* FindDescription(std::string_view class_name);

}  // namespace tvx
