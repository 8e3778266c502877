// The headless user interface: no windows; boxes and modal windows are played by a headless
// driver, and modal loops run the headless backend's own loop even while a host's application
// object is the module's (the host's loop has no messages of the module's to handle).
#include "module_boundary/headless_user_interface.h"
#include "module_boundary/user_interface.h"
#include "ui/core/application.h"
#include "ui/core/backend.h"

namespace tvx {

headless::HeadlessDriver& HeadlessUserInterface() {
  static headless::HeadlessDriver driver;
  return driver;
}

void StartUserInterface() { HeadlessUserInterface(); }

// The headless driver stays for the library's lifetime: it holds no window, and a test host
// reads what it recorded after the plug-in objects have gone.
void StopUserInterface() {}

void HandleMessageThroughHost(IHostApplication& /*host*/) { UiBackend().HandleMessage(); }

}  // namespace tvx
