// The host's application object inside the module: a THostApplication whose state comes from the
// host's IHostApplication. While a plug-in object is initialised it is the module's application
// object, so the module's windows are owned by the host's window and exceptions that escape
// their handlers are offered to the host's exception event.
#pragma once

#include "com/com_ptr.h"
#include "export_plugin/host_application.h"
#include "export_plugin/host_interfaces.h"

namespace tvx {

class THostApplicationAdapter : public THostApplication {
  TVX_DECLARE_CLASS(THostApplicationAdapter, THostApplication)

  // Holds a reference to host (not null) until it is freed.
  THostApplicationAdapter(TComponent* owner, IHostApplication* host);

  IHostApplication* Host() const { return host_.Get(); }

  // What the host reports; should the host's call fail: no window, an empty title, not
  // terminated.
  WindowHandle Handle() const override;
  std::string Title() const override;
  bool Terminated() const override;
  // The host's main form; a failure of the host's call raises its error.
  ComPtr<IUnknown> MainFormObject() const override;

  // A modal loop's turn: through the host's message loop when the module has windows (see
  // user_interface.h), else the module's own.
  void HandleMessage() override;

  // A silent abort is dropped. Otherwise a handler set on OnException takes the exception; else
  // the host's exception event is offered its class and message, and when the host leaves it
  // unhandled (or its call fails) the module shows its own error box.
  void HandleException(const std::exception& error) override;
  using TApplication::HandleException;

 protected:
  ~THostApplicationAdapter() override;

 private:
  ComPtr<IHostApplication> host_;
};

}  // namespace tvx
