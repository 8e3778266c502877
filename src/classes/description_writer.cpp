// Writing the published values of components as a description (JSON) in the format that the
// reader takes; docs/stored-descriptions.md gives the format.
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "classes/class_info.h"
#include "classes/collection.h"
#include "classes/description.h"

namespace tvx {

using Json = nlohmann::ordered_json;

namespace {

// The properties of a class and its ancestors, the ancestors' first; a name that a class
// declares again stands where the ancestor had it, with the class's own declaration.
std::vector<const TPropertyInfo*> PublishedProperties(const TClassInfo& info) {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = &info; c != nullptr; c = c->Parent()) chain.insert(chain.begin(), c);
  std::vector<const TPropertyInfo*> properties;
  for (const TClassInfo* c : chain) {
    for (const TPropertyInfo& property : c->OwnProperties()) {
      bool replaced = false;
      for (const TPropertyInfo*& known : properties) {
        if (known->name == property.name) {
          known = &property;
          replaced = true;
        }
      }
      if (!replaced) properties.push_back(&property);
    }
  }
  return properties;
}

class TDescriptionWriter {
 public:
  explicit TDescriptionWriter(const TComponent& root) : root_(root) {}

  Json Root() const {
    Json node;
    node["name"] = root_.Name();
    node["class"] = root_.ClassName();
    Body(node, &root_);
    return node;
  }

 private:
  void Body(Json& node, const TComponent* component) const {
    node["properties"] = Properties(*component);
    Json children = Json::array();
    for (int32_t i = 0; i < root_.ComponentCount(); ++i) {
      const TComponent* child = root_.Components(i);
      const TComponent* parent = child->GetParentComponent();
      if (parent == nullptr) parent = &root_;
      if (parent != component) continue;
      Json entry;
      entry["name"] = child->Name();
      entry["class"] = child->ClassName();
      Body(entry, child);
      children.push_back(std::move(entry));
    }
    if (!children.empty()) node["children"] = std::move(children);
  }

  Json Properties(const TObject& object) const {
    Json properties = Json::object();
    for (const TPropertyInfo* property : PublishedProperties(object.ClassType())) {
      properties[property->name] = Value(object, *property);
    }
    return properties;
  }

  Json Value(const TObject& object, const TPropertyInfo& property) const {
    // The getters of nested objects and collections are those the reader fills in through.
    auto* mutable_object = const_cast<TObject*>(&object);
    switch (property.kind) {
      case TPropertyKind::String:
        return property.get_string(&object);
      case TPropertyKind::Int32:
      case TPropertyKind::UInt16:
        return property.get_integer(&object);
      case TPropertyKind::Bool:
        return property.get_bool(&object);
      case TPropertyKind::Double:
        return property.get_double(&object);
      case TPropertyKind::Enum: {
        const int64_t ordinal = property.get_integer(&object);
        for (const auto& [name, value] : property.names) {
          if (value == ordinal) return name;
        }
        return ordinal;
      }
      case TPropertyKind::Set: {
        const auto bits = static_cast<uint64_t>(property.get_integer(&object));
        Json names = Json::array();
        for (const auto& [name, value] : property.names) {
          if (value >= 0 && value < 64 && (bits & (uint64_t{1} << value)) != 0) {
            names.push_back(name);
          }
        }
        return names;
      }
      case TPropertyKind::Object: {
        const TPersistent* nested = property.get_object(mutable_object);
        return nested != nullptr ? Properties(*nested) : Json();
      }
      case TPropertyKind::Collection: {
        Json items = Json::array();
        if (const TCollection* collection = property.get_collection(mutable_object)) {
          for (int32_t i = 0; i < collection->Count(); ++i) {
            items.push_back(Properties(*collection->Items(i)));
          }
        }
        return items;
      }
      case TPropertyKind::Component: {
        const TComponent* component = property.get_component(&object);
        return component != nullptr ? Json(component->Name()) : Json();
      }
      case TPropertyKind::Event: {
        const THandlerInfo* handler = property.get_event(&object);
        return handler != nullptr ? Json(handler->name) : Json();
      }
    }
    return Json();
  }

  const TComponent& root_;
};

}  // namespace

std::string DescribeComponent(const TComponent& root) {
  return TDescriptionWriter(root).Root().dump(2);
}

}  // namespace tvx
