// The host object that a host hands to IPlugin::Initialize, inside the module: what the plug-in
// sees as its HostObject. It holds a reference to the host's object until it is freed.
#pragma once

#include "classes/object.h"
#include "com/com_ptr.h"

namespace tvx {

class THostObjectAdapter : public TObject {
  TVX_DECLARE_CLASS(THostObjectAdapter, TObject)

  // object must not be null.
  explicit THostObjectAdapter(IUnknown* object) : object_(object) {}

  IUnknown* Object() const { return object_.Get(); }

 protected:
  ~THostObjectAdapter() override = default;

 private:
  ComPtr<IUnknown> object_;
};

}  // namespace tvx
