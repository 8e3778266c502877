#include "classes/object.h"

#include <memory>

#include "classes/class_info.h"

namespace tvx {

const TClassInfo& TObject::StaticClass() {
  static const TClassInfo& info =
      RegisterClassInfo(std::make_unique<TClassInfo>("TObject", nullptr));
  return info;
}

const std::string& TObject::ClassName() const { return ClassType().Name(); }

bool TObject::InheritsFrom(const TClassInfo& ancestor) const {
  return ClassType().InheritsFrom(ancestor);
}

void TObject::Free() {
  // The object is deleted even when BeforeDestruction fails.
  struct Deleter {
    TObject* object;
    ~Deleter() { delete object; }
  } deleter{this};
  BeforeDestruction();
}

}  // namespace tvx
