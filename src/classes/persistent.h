// Objects that can copy their values from another object of a fitting class.
#pragma once

#include "classes/object.h"

namespace tvx {

class TPersistent : public TObject {
  TVX_DECLARE_CLASS(TPersistent, TObject)

  // Copies the values of source into this object. The default asks source to copy itself
  // (AssignTo); when neither side knows the other, raises EConvertError
  // "Cannot assign a <source class or nil> to a <this class>".
  virtual void Assign(const TPersistent* source);

  // The object that owns this one in the object tree, if any.
  virtual TPersistent* GetOwner() const { return nullptr; }

 protected:
  ~TPersistent() override = default;
  // Copies this object into dest; the default fails with the error above.
  virtual void AssignTo(TPersistent* dest) const;
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

}  // namespace tvx
