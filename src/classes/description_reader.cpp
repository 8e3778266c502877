// Reading stored descriptions (JSON) into components; docs/stored-descriptions.md gives the
// format.
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "classes/class_info.h"
#include "classes/collection.h"
#include "classes/description.h"
#include "rtl/ascii.h"
#include "rtl/exceptions.h"

namespace tvx {

using Json = nlohmann::ordered_json;

namespace {

// Deeper nesting (of objects, arrays and children) is refused: the reader recurses.
constexpr int kMaxDepth = 64;

std::string JsonTypeName(const Json& value) {
  if (value.is_number_integer()) return "an integer";
  if (value.is_number_float()) return "a number with a fraction";
  switch (value.type()) {
    case Json::value_t::null:
      return "null";
    case Json::value_t::object:
      return "an object";
    case Json::value_t::array:
      return "an array";
    case Json::value_t::string:
      return "a string";
    case Json::value_t::boolean:
      return "a boolean";
    default:
      return "a value";
  }
}

}  // namespace

// Applies descriptions to a root component in one loading pass (friend of TComponent, for the
// loading state and Loaded).
class TDescriptionReader {
 public:
  explicit TDescriptionReader(TComponent* root) : root_(root) { AddLoaded(root); }

  // Reads one description, stored for class class_name, and resolves its references.
  void Read(std::string_view text, const std::string& class_name) {
    class_name_ = class_name;
    const Json document = Parse(text);
    ReadRoot(document);
    ResolveReferences();
  }

  // Ends the pass: every component read gets Loaded(), the root first.
  void Finish() {
    const std::vector<TComponent*> loaded = std::move(loaded_);
    for (TComponent* component : loaded) component->Loaded();
  }

  // Ends a failed pass: the components leave the loading state without Loaded().
  void Cancel() {
    for (TComponent* component : loaded_) component->SetLoading(false);
    loaded_.clear();
  }

 private:
  struct Fixup {
    TObject* object;
    const TPropertyInfo* property;
    std::string component_name;
    std::string path;
  };

  [[noreturn]] void Fail(const std::string& path, const std::string& problem) const {
    std::string message = "Stored description of " + class_name_;
    if (!path.empty()) message += ", at " + path;
    throw EDescriptionError(message + ": " + problem);
  }

  Json Parse(std::string_view text) const {
    // Duplicate keys would silently keep one value: refused, as is excessive depth.
    std::vector<std::set<std::string>> keys;
    std::string duplicate;
    bool too_deep = false;
    auto check = [&](int depth, Json::parse_event_t event, Json& parsed) {
      switch (event) {
        case Json::parse_event_t::object_start:
        case Json::parse_event_t::array_start:
          if (depth >= kMaxDepth) too_deep = true;
          if (event == Json::parse_event_t::object_start) keys.emplace_back();
          break;
        case Json::parse_event_t::object_end:
          if (!keys.empty()) keys.pop_back();
          break;
        case Json::parse_event_t::key:
          if (!keys.empty() && !keys.back().insert(parsed.get<std::string>()).second &&
              duplicate.empty()) {
            duplicate = parsed.get<std::string>();
          }
          break;
        default:
          break;
      }
      return !too_deep;
    };
    Json document;
    try {
      document = Json::parse(text.begin(), text.end(), check);
    } catch (const Json::exception& e) {
      Fail("", std::string("malformed text: ") + e.what());
    }
    if (too_deep) Fail("", "nested more than " + std::to_string(kMaxDepth) + " levels deep");
    if (!duplicate.empty()) Fail("", "the key '" + duplicate + "' appears twice in one object");
    return document;
  }

  void CheckKeys(const Json& node, const std::string& path,
                 std::initializer_list<std::string_view> allowed) const {
    if (!node.is_object()) Fail(path, "expected an object, found " + JsonTypeName(node));
    for (const auto& [key, value] : node.items()) {
      bool known = false;
      for (std::string_view name : allowed) known = known || key == name;
      if (!known) Fail(path, "unknown key '" + key + "'");
    }
  }

  std::string StringMember(const Json& node, const char* key, const std::string& path,
                           bool required) const {
    auto found = node.find(key);
    if (found == node.end()) {
      if (required) Fail(path, std::string("the key '") + key + "' is missing");
      return {};
    }
    if (!found->is_string()) {
      Fail(path, std::string("'") + key + "' must be a string, found " + JsonTypeName(*found));
    }
    return found->get<std::string>();
  }

  void ReadRoot(const Json& document) {
    CheckKeys(document, "", {"name", "class", "properties", "children"});
    const std::string class_name = StringMember(document, "class", "", true);
    if (class_name != class_name_) {
      Fail("", "it describes class " + class_name + ", not " + class_name_);
    }
    const std::string name = StringMember(document, "name", "", false);
    const std::string path = name.empty() ? class_name : name;
    if (document.contains("name")) Guard(path + ".name", [&] { root_->SetName(name); });
    ReadBody(root_, document, path);
  }

  void ReadBody(TComponent* component, const Json& node, const std::string& path) {
    if (auto properties = node.find("properties"); properties != node.end()) {
      ReadProperties(component, *properties, path);
    }
    if (auto children = node.find("children"); children != node.end()) {
      if (!children->is_array()) {
        Fail(path + ".children", "expected an array, found " + JsonTypeName(*children));
      }
      size_t index = 0;
      for (const Json& child : *children) {
        ReadChild(component, child, path + ".children[" + std::to_string(index++) + "]");
      }
    }
  }

  void ReadChild(TComponent* enclosing, const Json& node, const std::string& where) {
    if (!node.is_object()) Fail(where, "expected an object, found " + JsonTypeName(node));
    const std::string name = StringMember(node, "name", where, false);
    const std::string path = name.empty() ? where : name;
    CheckKeys(node, path, {"name", "class", "inherited", "properties", "children"});
    const std::string class_name = StringMember(node, "class", path, true);
    bool inherited = false;
    if (auto flag = node.find("inherited"); flag != node.end()) {
      if (!flag->is_boolean()) Fail(path, "'inherited' must be true or false");
      inherited = flag->get<bool>();
    }
    const TClassInfo* info = FindClass(class_name);
    if (info == nullptr) Fail(path, "unknown class " + class_name);

    TComponent* child = nullptr;
    if (inherited) {
      child = root_->FindComponent(name);
      if (child == nullptr) Fail(path, "no inherited component named '" + name + "'");
      if (&child->ClassType() != info) {
        Fail(path, "the inherited component is a " + child->ClassName() + ", not a " + class_name);
      }
      AddLoaded(child);
    } else {
      if (!info->InheritsFrom(TComponent::StaticClass()) || !info->CanCreateComponent()) {
        Fail(path, "class " + class_name + " is not a component class that can be created");
      }
      Guard(path, [&] { child = info->CreateComponent(root_); });
      AddLoaded(child);
      Guard(path + ".name", [&] { child->SetName(name); });
      Guard(path, [&] { child->SetParentComponent(enclosing); });
    }
    ReadBody(child, node, path);
  }

  void ReadProperties(TObject* object, const Json& node, const std::string& path) {
    if (!node.is_object()) {
      Fail(path, "the properties must be an object, found " + JsonTypeName(node));
    }
    const TClassInfo& info = object->ClassType();
    for (const auto& [key, value] : node.items()) {
      const std::string where = path + "." + key;
      const TPropertyInfo* property = info.FindProperty(key);
      if (property == nullptr) Fail(where, "unknown property " + key + " of " + info.Name());
      ReadProperty(object, *property, value, where);
    }
  }

  int64_t Integer(const Json& value, int64_t low, int64_t high, const char* type,
                  const std::string& where) const {
    if (!value.is_number_integer()) {
      Fail(where, std::string("expected an integer (") + type + "), found " + JsonTypeName(value));
    }
    bool in_range;
    int64_t number = 0;
    if (value.is_number_unsigned()) {
      const uint64_t unsigned_number = value.get<uint64_t>();
      in_range = unsigned_number <= static_cast<uint64_t>(high);
      number = in_range ? static_cast<int64_t>(unsigned_number) : 0;
    } else {
      number = value.get<int64_t>();
      in_range = number >= low && number <= high;
    }
    if (!in_range) Fail(where, value.dump() + " is out of the range of " + type);
    return number;
  }

  int64_t NameValue(const TPropertyInfo& property, const Json& value,
                    const std::string& where) const {
    if (!value.is_string()) {
      Fail(where, "expected a name of " + property.type_name + ", found " + JsonTypeName(value));
    }
    const std::string name = value.get<std::string>();
    for (const auto& [candidate, ordinal] : property.names) {
      if (candidate == name) return ordinal;
    }
    Fail(where, "'" + name + "' is not a value of " + property.type_name);
  }

  void ReadProperty(TObject* object, const TPropertyInfo& property, const Json& value,
                    const std::string& where) {
    switch (property.kind) {
      case TPropertyKind::String:
        if (!value.is_string()) Fail(where, "expected a string, found " + JsonTypeName(value));
        Guard(where, [&] { property.set_string(object, value.get<std::string>()); });
        break;
      case TPropertyKind::Int32: {
        const int64_t number = Integer(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max(), "int32", where);
        Guard(where, [&] { property.set_integer(object, number); });
        break;
      }
      case TPropertyKind::UInt16: {
        const int64_t number = Integer(value, 0, 0xFFFF, "uint16", where);
        Guard(where, [&] { property.set_integer(object, number); });
        break;
      }
      case TPropertyKind::Bool:
        if (!value.is_boolean())
          Fail(where, "expected true or false, found " + JsonTypeName(value));
        Guard(where, [&] { property.set_bool(object, value.get<bool>()); });
        break;
      case TPropertyKind::Double: {
        if (!value.is_number()) Fail(where, "expected a number, found " + JsonTypeName(value));
        const double number = value.get<double>();
        if (!std::isfinite(number)) Fail(where, "the number is not finite");
        Guard(where, [&] { property.set_double(object, number); });
        break;
      }
      case TPropertyKind::Enum: {
        const int64_t ordinal = NameValue(property, value, where);
        Guard(where, [&] { property.set_integer(object, ordinal); });
        break;
      }
      case TPropertyKind::Set: {
        if (!value.is_array()) {
          Fail(where, "expected an array of names of " + property.type_name + ", found " +
                          JsonTypeName(value));
        }
        uint64_t bits = 0;
        for (const Json& element : value) {
          const int64_t ordinal = NameValue(property, element, where);
          if (ordinal < 0 || ordinal >= 64) Fail(where, "the set member's ordinal is too large");
          bits |= uint64_t{1} << ordinal;
        }
        Guard(where, [&] { property.set_integer(object, static_cast<int64_t>(bits)); });
        break;
      }
      case TPropertyKind::Object: {
        if (!value.is_object()) Fail(where, "expected an object, found " + JsonTypeName(value));
        TPersistent* nested = property.get_object(object);
        if (nested == nullptr) Fail(where, "there is no object to fill in");
        ReadProperties(nested, value, where);
        break;
      }
      case TPropertyKind::Collection:
        ReadCollection(property.get_collection(object), value, where);
        break;
      case TPropertyKind::Component:
        if (value.is_null()) {
          Guard(where, [&] { property.set_component(object, nullptr); });
        } else if (value.is_string()) {
          fixups_.push_back(Fixup{object, &property, value.get<std::string>(), where});
        } else {
          Fail(where, "expected a component name, found " + JsonTypeName(value));
        }
        break;
      case TPropertyKind::Event:
        BindEvent(object, property, value, where);
        break;
    }
  }

  void ReadCollection(TCollection* collection, const Json& value, const std::string& where) {
    if (!value.is_array()) Fail(where, "expected an array of items, found " + JsonTypeName(value));
    if (collection == nullptr) Fail(where, "there is no collection to fill in");
    struct UpdateScope {
      TCollection* collection;
      ~UpdateScope() { collection->EndUpdate(); }
    };
    collection->BeginUpdate();
    UpdateScope scope{collection};
    Guard(where, [&] { collection->Clear(); });
    size_t index = 0;
    for (const Json& element : value) {
      const std::string item_path = where + "[" + std::to_string(index++) + "]";
      if (!element.is_object()) {
        Fail(item_path, "expected an object of item properties, found " + JsonTypeName(element));
      }
      TCollectionItem* item = nullptr;
      Guard(item_path, [&] { item = collection->Add(); });
      ReadProperties(item, element, item_path);
    }
  }

  void BindEvent(TObject* object, const TPropertyInfo& property, const Json& value,
                 const std::string& where) {
    if (!value.is_string()) Fail(where, "expected a handler name, found " + JsonTypeName(value));
    const std::string name = value.get<std::string>();
    const THandlerInfo* handler = root_->ClassType().FindHandler(name);
    if (handler == nullptr) Fail(where, "no handler named " + name + " in " + root_->ClassName());
    if (!property.bind_event(object, root_, *handler)) {
      Fail(where, "the parameters of handler " + name + " do not fit event " + property.name);
    }
  }

  void ResolveReferences() {
    const std::vector<Fixup> fixups = std::move(fixups_);
    fixups_.clear();
    for (const Fixup& fixup : fixups) {
      TComponent* component = root_->FindComponent(fixup.component_name);
      if (component == nullptr && SameTextAscii(fixup.component_name, root_->Name())) {
        component = root_;
      }
      if (component == nullptr) Fail(fixup.path, "no component named " + fixup.component_name);
      if (!fixup.property->accepts_component(component)) {
        Fail(fixup.path, fixup.component_name + " is a " + component->ClassName() + ", not a " +
                             fixup.property->value_class().Name());
      }
      Guard(fixup.path, [&] { fixup.property->set_component(fixup.object, component); });
    }
  }

  // Runs a step that may raise an error of the component model and gives the error its place.
  template <class Step>
  void Guard(const std::string& where, Step step) const {
    try {
      step();
    } catch (const EDescriptionError&) {
      throw;
    } catch (const Exception& e) {
      Fail(where, e.Message());
    }
  }

  void AddLoaded(TComponent* component) {
    for (TComponent* loaded : loaded_) {
      if (loaded == component) return;
    }
    component->SetLoading(true);
    loaded_.push_back(component);
  }

  TComponent* root_;
  std::string class_name_;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
};

bool InitInheritedComponent(TComponent* instance, const TClassInfo& ancestor) {
  std::vector<const TClassInfo*> chain;
  const TClassInfo* info = &instance->ClassType();
  for (; info != nullptr && info != &ancestor; info = info->Parent()) chain.push_back(info);
  if (info == nullptr) {
    throw EComponentError(instance->ClassName() + " does not descend from " + ancestor.Name());
  }
  std::vector<std::pair<const TClassInfo*, const char*>> descriptions;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (const char* text = FindDescription((*it)->Name())) descriptions.emplace_back(*it, text);
  }
  if (descriptions.empty()) return false;
  TDescriptionReader reader(instance);
  try {
    for (const auto& [class_info, text] : descriptions) reader.Read(text, class_info->Name());
  } catch (...) {
    reader.Cancel();
    throw;
  }
  reader.Finish();
  return true;
}

void ApplyDescription(TComponent* root, std::string_view text) {
  TDescriptionReader reader(root);
  try {
    reader.Read(text, root->ClassName());
  } catch (...) {
    reader.Cancel();
    throw;
  }
  reader.Finish();
}

}  // namespace tvx
