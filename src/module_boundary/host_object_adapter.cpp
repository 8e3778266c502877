#include "module_boundary/host_object_adapter.h"

#include "classes/class_builder.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(THostObjectAdapter) {}

}  // namespace tvx
