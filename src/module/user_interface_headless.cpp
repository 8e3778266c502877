// The headless user interface: no windows; boxes and modal windows are played by a headless
// driver.
#include "module/headless_user_interface.h"
#include "module/user_interface.h"

namespace tvx {

headless::HeadlessDriver& HeadlessUserInterface() {
  static headless::HeadlessDriver driver;
  return driver;
}

void StartUserInterface() { HeadlessUserInterface(); }

}  // namespace tvx
