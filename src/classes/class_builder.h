// Declaring a class to the registry. In the class's .cpp file:
//
//   TVX_IMPLEMENT_CLASS(TMyPlugIn) {
//     TVX_PROPERTY(Caption);        // Caption() and SetCaption(): string, int32_t, uint16_t,
//                                   // bool, double, or a TComponent-derived pointer (a
//                                   // reference by name)
//     c.Property("Data", &TMyPlugIn::data_);                  // a member: read and written
//     c.Property("Pixels", &TMyPlugIn::PixelText, &TMyPlugIn::SetPixelText);  // other names
//     TVX_NAMED_PROPERTY(Align, kAlignNames, "TAlign");       // an enum by name, or a
//     TVX_NAMED_PROPERTY(Anchors, kAnchorNames, "TAnchors");  // TSet<E> as an array of names
//     c.Object("Font", &TMyPlugIn::Font);                     // nested TPersistent (getter)
//     c.Collection("Commands", &TMyPlugIn::Commands);         // TCollection (getter)
//     c.Event("OnClick", &TMyPlugIn::OnClick);                // TEvent<...>& getter or member
//     TVX_HANDLER(btnOKClick);                                // handler method by name
//     TVX_FIELD(btnOK);                                       // owned component field
//     c.Description(kMyPlugInDescription);                    // its stored description
//     c.Uses<TButton, TLabel>();                              // classes its description names
//   }
//
// The macros spell each name once: the member's name is the published name. Every property
// has a getter beside its setter, so that what a description set can be read back.
//
// The class information is built the first time StaticClass() is called, which registers
// the class by name; a class that is only ever named by a description must be reached
// through Uses<> (or by calling its StaticClass()) before the description is read.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "classes/class_info.h"
#include "classes/collection.h"
#include "classes/component.h"
#include "classes/events.h"
#include "classes/set.h"

namespace tvx {

template <class E>
using TEnumNames = std::vector<std::pair<std::string, E>>;

// The parameters of a handler method bound to an event of type TEvent<Args...>.
template <class... Args>
using TEventBinder =
    std::function<void(TObject* target, TEvent<Args...>& event, const THandlerInfo& handler)>;

namespace class_builder_detail {

// How a property is written: through a setter method or straight into a member.
template <class P>
struct Accessor;
template <class C, class V>
struct Accessor<void (C::*)(V)> {
  using Class = C;
  using Value = std::remove_cvref_t<V>;
  static void Write(C* object, void (C::*setter)(V), Value value) {
    (object->*setter)(std::move(value));
  }
};
template <class C, class V>
struct Accessor<void (C::*)(V) noexcept> {
  using Class = C;
  using Value = std::remove_cvref_t<V>;
  static void Write(C* object, void (C::*setter)(V) noexcept, Value value) {
    (object->*setter)(std::move(value));
  }
};
template <class C, class V>
requires(!std::is_function_v<V>) struct Accessor<V C::*> {
  using Class = C;
  using Value = V;
  static void Write(C* object, V C::*member, Value value) { object->*member = std::move(value); }
};

// How a property is read: through a const getter or straight from a member.
template <class P>
struct Reader;
template <class C, class R>
struct Reader<R (C::*)() const> {
  using Class = C;
  using Value = std::remove_cvref_t<R>;
  static Value Read(const C* object, R (C::*getter)() const) { return (object->*getter)(); }
};
template <class C, class R>
struct Reader<R (C::*)() const noexcept> {
  using Class = C;
  using Value = std::remove_cvref_t<R>;
  static Value Read(const C* object, R (C::*getter)() const noexcept) {
    return (object->*getter)();
  }
};
template <class C, class V>
requires(!std::is_function_v<V>) struct Reader<V C::*> {
  using Class = C;
  using Value = V;
  static Value Read(const C* object, V C::*member) { return object->*member; }
};

// How a nested object, a collection or an event is reached: a getter or a member.
template <class P>
struct Getter;
template <class C, class R>
struct Getter<R (C::*)()> {
  using Class = C;
  using Result = R;
  static R Get(C* object, R (C::*getter)()) { return (object->*getter)(); }
};
template <class C, class R>
struct Getter<R (C::*)() const> {
  using Class = C;
  using Result = R;
  static R Get(C* object, R (C::*getter)() const) { return (object->*getter)(); }
};
template <class C, class R>
requires(!std::is_function_v<R>) struct Getter<R C::*> {
  using Class = C;
  using Result = R&;
  static R& Get(C* object, R C::*member) { return object->*member; }
};

template <class E>
struct EventArgs;
template <class... Args>
struct EventArgs<TEvent<Args...>> {
  template <class T, class Member>
  static std::function<bool(TObject*, TObject*, const THandlerInfo&)> Binder(Member member) {
    return [member](TObject* object, TObject* target, const THandlerInfo& handler) {
      const auto* binder = std::any_cast<TEventBinder<Args...>>(&handler.binder);
      if (binder == nullptr) return false;
      T* self = static_cast<T*>(object);
      (*binder)(target, Getter<Member>::Get(self, member), handler);
      return true;
    };
  }
  template <class T, class Member>
  static std::function<const THandlerInfo*(const TObject*)> Published(Member member) {
    return [member](const TObject* object) {
      // The event is only read; its getter is not const.
      T* self = const_cast<T*>(static_cast<const T*>(object));
      return Getter<Member>::Get(self, member).PublishedHandler();
    };
  }
};

template <class E>
TNameList ToNameList(const TEnumNames<E>& names) {
  TNameList list;
  for (const auto& [name, value] : names) list.emplace_back(name, static_cast<int64_t>(value));
  return list;
}

}  // namespace class_builder_detail

template <class T>
class TClassBuilder {
 public:
  // The class being published (the macros below name its members through it).
  using Class = T;

  explicit TClassBuilder(TClassInfo& info) : info_(info) {}

  // A scalar property or a reference to a component, read by the getter and written by the
  // setter, typed by the setter's parameter: std::string, int32_t, uint16_t, bool, double, or
  // X* for a class X derived from TComponent. The getter returns the same type.
  template <class G, class S>
  TClassBuilder& Property(std::string name, G getter, S setter) {
    using R = class_builder_detail::Reader<G>;
    using A = class_builder_detail::Accessor<S>;
    using V = typename A::Value;
    static_assert(std::is_base_of_v<typename A::Class, T>, "not a member of this class");
    static_assert(std::is_base_of_v<typename R::Class, T>, "not a member of this class");
    static_assert(std::is_same_v<typename R::Value, V>, "the getter and the setter differ in type");
    TPropertyInfo& info = info_.AddProperty(std::move(name), TPropertyKind::String);
    if constexpr (std::is_same_v<V, std::string>) {
      info.set_string = [setter](TObject* o, const std::string& v) {
        A::Write(Self(o), setter, v);
      };
      info.get_string = [getter](const TObject* o) { return R::Read(Self(o), getter); };
    } else if constexpr (std::is_same_v<V, bool>) {
      info.kind = TPropertyKind::Bool;
      info.set_bool = [setter](TObject* o, bool v) { A::Write(Self(o), setter, v); };
      info.get_bool = [getter](const TObject* o) { return R::Read(Self(o), getter); };
    } else if constexpr (std::is_same_v<V, int32_t> || std::is_same_v<V, uint16_t>) {
      info.kind = std::is_same_v<V, int32_t> ? TPropertyKind::Int32 : TPropertyKind::UInt16;
      info.set_integer = [setter](TObject* o, int64_t v) {
        A::Write(Self(o), setter, static_cast<V>(v));
      };
      info.get_integer = [getter](const TObject* o) {
        return static_cast<int64_t>(R::Read(Self(o), getter));
      };
    } else if constexpr (std::is_same_v<V, double>) {
      info.kind = TPropertyKind::Double;
      info.set_double = [setter](TObject* o, double v) { A::Write(Self(o), setter, v); };
      info.get_double = [getter](const TObject* o) { return R::Read(Self(o), getter); };
    } else if constexpr (std::is_pointer_v<V> &&
                         std::is_base_of_v<TComponent, std::remove_pointer_t<V>>) {
      using X = std::remove_pointer_t<V>;
      info.kind = TPropertyKind::Component;
      info.value_class = &X::StaticClass;
      info.accepts_component = [](const TComponent* c) {
        return c == nullptr || c->InheritsFrom(X::StaticClass());
      };
      info.set_component = [setter](TObject* o, TComponent* c) {
        A::Write(Self(o), setter, static_cast<X*>(c));
      };
      info.get_component = [getter](const TObject* o) -> TComponent* {
        return R::Read(Self(o), getter);
      };
    } else {
      static_assert(sizeof(V) == 0, "unsupported property type (enums and sets need names)");
    }
    return *this;
  }

  // A property kept in a member, which is both read and written.
  template <class M>
  requires std::is_member_object_pointer_v<M> TClassBuilder& Property(std::string name, M member) {
    return Property(std::move(name), member, member);
  }

  // An enumeration written by name, or a set (TSet<E>) written as an array of names.
  template <class G, class S, class E>
  TClassBuilder& Property(std::string name, G getter, S setter, const TEnumNames<E>& names,
                          std::string type_name) {
    using R = class_builder_detail::Reader<G>;
    using A = class_builder_detail::Accessor<S>;
    using V = typename A::Value;
    static_assert(std::is_base_of_v<typename A::Class, T>, "not a member of this class");
    static_assert(std::is_base_of_v<typename R::Class, T>, "not a member of this class");
    static_assert(std::is_same_v<typename R::Value, V>, "the getter and the setter differ in type");
    TPropertyInfo& info =
        info_.AddProperty(std::move(name), TPropertyKind::Enum, std::move(type_name));
    info.names = class_builder_detail::ToNameList(names);
    if constexpr (std::is_same_v<V, E>) {
      info.set_integer = [setter](TObject* o, int64_t v) {
        A::Write(Self(o), setter, static_cast<E>(v));
      };
      info.get_integer = [getter](const TObject* o) {
        return static_cast<int64_t>(R::Read(Self(o), getter));
      };
    } else if constexpr (std::is_same_v<V, TSet<E>>) {
      info.kind = TPropertyKind::Set;
      info.set_integer = [setter](TObject* o, int64_t v) {
        A::Write(Self(o), setter, TSet<E>::FromBits(static_cast<uint64_t>(v)));
      };
      info.get_integer = [getter](const TObject* o) {
        return static_cast<int64_t>(R::Read(Self(o), getter).Bits());
      };
    } else {
      static_assert(sizeof(V) == 0, "the names do not fit the property's type");
    }
    return *this;
  }
  template <class M, class E>
  requires std::is_member_object_pointer_v<M> TClassBuilder& Property(std::string name, M member,
                                                                      const TEnumNames<E>& names,
                                                                      std::string type_name) {
    return Property(std::move(name), member, member, names, std::move(type_name));
  }

  // A nested persistent object that a description fills in place (the getter's result).
  template <class P>
  TClassBuilder& Object(std::string name, P getter) {
    using G = class_builder_detail::Getter<P>;
    using X = std::remove_pointer_t<std::remove_cvref_t<typename G::Result>>;
    static_assert(std::is_base_of_v<TPersistent, X>, "not a persistent object");
    TPropertyInfo& info = info_.AddProperty(std::move(name), TPropertyKind::Object);
    info.value_class = &X::StaticClass;
    info.get_object = [getter](TObject* o) -> TPersistent* { return G::Get(Self(o), getter); };
    return *this;
  }

  // A collection that a description clears and fills item by item (the getter's result).
  template <class P>
  TClassBuilder& Collection(std::string name, P getter) {
    using G = class_builder_detail::Getter<P>;
    using X = std::remove_pointer_t<std::remove_cvref_t<typename G::Result>>;
    static_assert(std::is_base_of_v<TCollection, X>, "not a collection");
    TPropertyInfo& info = info_.AddProperty(std::move(name), TPropertyKind::Collection);
    info.value_class = &X::StaticClass;
    info.get_collection = [getter](TObject* o) -> TCollection* { return G::Get(Self(o), getter); };
    return *this;
  }

  // An event (a TEvent<...>& getter or a TEvent<...> member) that a description binds to a
  // handler of its root object by name.
  template <class P>
  TClassBuilder& Event(std::string name, P accessor) {
    using G = class_builder_detail::Getter<P>;
    using E = std::remove_cvref_t<typename G::Result>;
    TPropertyInfo& info = info_.AddProperty(std::move(name), TPropertyKind::Event, "event");
    info.bind_event = class_builder_detail::EventArgs<E>::template Binder<T>(accessor);
    info.get_event = class_builder_detail::EventArgs<E>::template Published<T>(accessor);
    return *this;
  }

  // A handler method, void M(TObject* Sender, Args...), that descriptions bind by name to
  // events of type TEvent<Args...>.
  template <class C, class... Args>
  TClassBuilder& Handler(std::string name, void (C::*method)(TObject*, Args...)) {
    static_assert(std::is_base_of_v<C, T>, "not a method of this class");
    TEventBinder<Args...> binder = [method](TObject* target, TEvent<Args...>& event,
                                            const THandlerInfo& handler) {
      event.BindPublished(static_cast<T*>(target), method, handler);
    };
    info_.AddHandler(std::move(name), std::move(binder));
    return *this;
  }

  // A field that points at the owned component of the same name.
  template <class C, class X>
  TClassBuilder& Field(std::string name, X* C::*member) {
    static_assert(std::is_base_of_v<C, T>, "not a member of this class");
    static_assert(std::is_base_of_v<TComponent, X>, "not a component field");
    TFieldInfo& info = info_.AddField(std::move(name));
    info.value_class = &X::StaticClass;
    info.set = [member](TObject* owner, TComponent* value) {
      if (value != nullptr && !value->InheritsFrom(X::StaticClass())) return false;
      Self(owner)->*member = static_cast<X*>(value);
      return true;
    };
    return *this;
  }

  // The class's stored description (a text that lives as long as the program).
  TClassBuilder& Description(const char* text) {
    RegisterDescription(info_.Name(), text);
    return *this;
  }

  // Registers classes that the class's description names.
  template <class... Classes>
  TClassBuilder& Uses() {
    (Classes::StaticClass(), ...);
    return *this;
  }

 private:
  static T* Self(TObject* object) { return static_cast<T*>(object); }
  static const T* Self(const TObject* object) { return static_cast<const T*>(object); }

  TClassInfo& info_;
};

// Builds and registers the information of class T (called once, by T::StaticClass()).
template <class T>
const TClassInfo& DefineClass(const char* name) {
  auto info = std::make_unique<TClassInfo>(name, &T::Inherited::StaticClass());
  if constexpr (!std::is_abstract_v<T>) {
    if constexpr (std::is_base_of_v<TComponent, T> &&
                  requires(TComponent * owner) { new T(owner); }) {
      info->component_factory_ = [](TComponent* owner) -> TComponent* { return Create<T>(owner); };
    } else if constexpr (std::is_base_of_v<TCollectionItem, T> &&
                         requires(TCollection * collection) { new T(collection); }) {
      info->item_factory_ = [](TCollection* collection) -> TCollectionItem* {
        return Create<T>(collection);
      };
    }
  }
  TClassBuilder<T> builder(*info);
  T::PublishClass(builder);
  return RegisterClassInfo(std::move(info));
}

}  // namespace tvx

// Inside the body of TVX_IMPLEMENT_CLASS: a field, a handler or a property published under the
// name of its member (a property's getter is `Name()`, its setter `SetName()`).
#define TVX_PUBLISHED_CLASS std::remove_reference_t<decltype(c)>::Class
#define TVX_FIELD(member) c.Field(#member, &TVX_PUBLISHED_CLASS::member)
#define TVX_HANDLER(method) c.Handler(#method, &TVX_PUBLISHED_CLASS::method)
#define TVX_PROPERTY(name) \
  c.Property(#name, &TVX_PUBLISHED_CLASS::name, &TVX_PUBLISHED_CLASS::Set##name)
#define TVX_NAMED_PROPERTY(name, names, type_name) \
  c.Property(#name, &TVX_PUBLISHED_CLASS::name, &TVX_PUBLISHED_CLASS::Set##name, names, type_name)

// Defines Name::StaticClass() and opens the body of Name::PublishClass, in which `c` is the
// class's TClassBuilder. Use it in namespace scope of the class's namespace.
#define TVX_IMPLEMENT_CLASS(Name)                                           \
  const ::tvx::TClassInfo& Name::StaticClass() {                            \
    static const ::tvx::TClassInfo& info = ::tvx::DefineClass<Name>(#Name); \
    return info;                                                            \
  }                                                                         \
  void Name::PublishClass([[maybe_unused]] ::tvx::TClassBuilder<Name>& c)
