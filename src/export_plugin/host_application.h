// An application object that stands for a host's: its state comes from the host, and its main
// form is an object of the host's that the module asks for interfaces.
#pragma once

#include "com/com_ptr.h"
#include "ui/core/application.h"

namespace tvx {

class THostApplication : public TApplication {
  TVX_DECLARE_CLASS(THostApplication, TApplication)

  explicit THostApplication(TComponent* owner) : TApplication(owner) {}

  // The host's main form; empty when the host has none.
  virtual ComPtr<IUnknown> MainFormObject() const = 0;

 protected:
  ~THostApplication() override = default;
};

// The main form of an application object as a COM object: a host's main form; empty for an
// application object that stands for no host.
ComPtr<IUnknown> MainFormObject(const TApplication* application);

}  // namespace tvx
