#include "export_plugin/host_application.h"

#include "classes/class_builder.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(THostApplication) {}

ComPtr<IUnknown> MainFormObject(const TApplication* application) {
  const auto* host = dynamic_cast<const THostApplication*>(application);
  return host != nullptr ? host->MainFormObject() : ComPtr<IUnknown>();
}

}  // namespace tvx
