// The headless user interface: no windows; boxes and modal windows are played by a headless
// driver, and modal loops run the headless backend's own loop even while a host's application
// object is the module's (the host's loop has no messages of the module's to handle).
#include "module/headless_user_interface.h"
#include "module/user_interface.h"
#include "ui/application.h"
#include "ui/backend.h"

namespace tvx {

headless::HeadlessDriver& HeadlessUserInterface() {
  static headless::HeadlessDriver driver;
  return driver;
}

void StartUserInterface() { HeadlessUserInterface(); }

void HandleMessageThroughHost(IHostApplication& /*host*/) { UiBackend().HandleMessage(); }

}  // namespace tvx
