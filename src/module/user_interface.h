// The module's user interface: what shows its forms and boxes, and how a modal loop runs while a
// host's application object is the module's. Each library file links one of two definitions:
//   user_interface_win32.cpp (Tavolex.plu on Windows): real windows; modal loops run through the
//     host's message loop, so that the host's own idle work, dispatching and accelerators go on;
//   user_interface_headless.cpp (TavolexHeadless.plu, and the module on Linux, which has no
//     windows): the headless user interface, whose loop is its own.
#pragma once

#include "exporter/host_interfaces.h"

namespace tvx {

// Makes the user interface, once. Called at the module's start, before any form exists: a form
// scales itself to the screen's resolution when it loads, which it asks of the user interface.
void StartUserInterface();

// One message of a modal loop while host's application object is the module's (waiting for one
// when none is pending).
void HandleMessageThroughHost(IHostApplication& host);

}  // namespace tvx
