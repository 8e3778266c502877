// The root of the class tree and the protocol by which objects are made and freed.
//
// Objects of the component model are created with Create<T>(args...) and freed with Free().
// Create runs AfterConstruction() once the most-derived constructor has finished, and Free
// runs BeforeDestruction() while the object is still whole, before it is deleted: the two
// moments at which a component model fires its creation and destruction events, which C++
// constructors and destructors cannot reach. The destructor of TObject is protected, so an
// object can be neither deleted directly nor placed on the stack; classes that declare a
// destructor keep it protected too.
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace tvx {

class TClassInfo;
template <class T>
class TClassBuilder;

// Every class of the component model names itself and its base with this macro, first in
// its body (it leaves the access at public). The matching TVX_IMPLEMENT_CLASS in the class's
// .cpp file defines the class information and lists the published properties.
#define TVX_DECLARE_CLASS(Name, Base)                                                 \
 public:                                                                              \
  using Inherited = Base;                                                             \
  static const ::tvx::TClassInfo& StaticClass();                                      \
  const ::tvx::TClassInfo& ClassType() const override { return Name::StaticClass(); } \
  static void PublishClass(::tvx::TClassBuilder<Name>& c);                            \
                                                                                      \
 public:

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  static const TClassInfo& StaticClass();
  // The object's own class: its most-derived class once construction is over.
  virtual const TClassInfo& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const;
  bool InheritsFrom(const TClassInfo& ancestor) const;

  // Runs BeforeDestruction and deletes the object.
  void Free();

 protected:
  virtual ~TObject() = default;
  // Runs once after the most-derived constructor (through Create). An override calls the
  // inherited one first unless it says otherwise.
  virtual void AfterConstruction() {}
  // Runs once before the destructors (through Free), while the object is whole. An
  // override does its own work first and calls the inherited one last.
  virtual void BeforeDestruction() {}

  friend struct TObjectLifecycle;
};

// Gives Create and the owners of objects access to the protected lifecycle steps.
struct TObjectLifecycle {
  static void AfterConstruction(TObject* object) { object->AfterConstruction(); }
  static void BeforeDestruction(TObject* object) { object->BeforeDestruction(); }
  // Deletes without BeforeDestruction: for an object whose construction failed.
  static void Delete(TObject* object) { delete object; }
};

// Creates an object and runs its AfterConstruction. If AfterConstruction fails, the object is
// deleted (its destructors run; BeforeDestruction does not) and the error passes on.
template <class T, class... Args>
T* Create(Args&&... args) {
  T* object = new T(std::forward<Args>(args)...);
  try {
    TObjectLifecycle::AfterConstruction(object);
  } catch (...) {
    TObjectLifecycle::Delete(object);
    throw;
  }
  return object;
}

// Frees an object, if there is one.
inline void Free(TObject* object) {
  if (object != nullptr) object->Free();
}

template <class T>
void FreeAndNil(T*& object) {
  T* doomed = object;
  object = nullptr;
  Free(doomed);
}

// Ownership of one object, freed through Free.
struct TFreeDeleter {
  void operator()(TObject* object) const { object->Free(); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFreeDeleter>;

template <class T, class... Args>
TOwned<T> CreateOwned(Args&&... args) {
  return TOwned<T>(Create<T>(std::forward<Args>(args)...));
}

}  // namespace tvx
