// The headless user interface of the module files that have it (see user_interface.h), for the
// entry that hands a test host its driver.
#pragma once

#include "ui/headless/headless_driver.h"

namespace tvx {

headless::HeadlessDriver& HeadlessUserInterface();

}  // namespace tvx
