#include "classes/persistent.h"

#include "classes/class_builder.h"
#include "rtl/exceptions.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TPersistent) {}

void TPersistent::Assign(const TPersistent* source) {
  if (source == nullptr) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
  const std::string source_name = source != nullptr ? source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + source_name + " to a " + ClassName());
}

}  // namespace tvx
