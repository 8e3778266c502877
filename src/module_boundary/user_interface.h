// The module's user interface: what shows its forms and boxes, and how a modal loop runs while a
// host's application object is the module's. Each library file links one of two definitions:
//   user_interface_win32.cpp (Tavolex.plu on Windows): real windows; modal loops run through the
//     host's message loop, so that the host's own idle work, dispatching and accelerators go on;
//   user_interface_headless.cpp (TavolexHeadless.plu, and the module on Linux, which has no
//     windows): the headless user interface, whose loop is its own.
#pragma once

#include "export_plugin/host_interfaces.h"

namespace tvx {

// Makes the user interface unless it runs already. Called at every entry into the module, before
// any form exists: a form scales itself to the screen's resolution when it loads, which it asks
// of the user interface.
void StartUserInterface();

// Ends the user interface, if it runs, when no form is shown and none is left to free (the
// module's last plug-in object gone); the next entry into the module starts it again. Never
// called while the library is being unloaded: the windowed one then takes windows, window
// classes and libraries away, which must not be done under the loader lock. One still running
// when the library goes (a host that unloads while it holds plug-in objects) or when the process
// ends is left to the system.
void StopUserInterface();

// One message of a modal loop while host's application object is the module's (waiting for one
// when none is pending).
void HandleMessageThroughHost(IHostApplication& host);

}  // namespace tvx
