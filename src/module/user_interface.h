// The module's user interface: what shows its forms and boxes. Each library file links one of two
// definitions:
//   user_interface_win32.cpp (Tavolex.plu on Windows): real windows;
//   user_interface_headless.cpp (TavolexHeadless.plu, and the module on Linux, which has no
//     windows): the headless user interface.
#pragma once

namespace tvx {

// Makes the user interface, once. Called at the module's start, before any form exists: a form
// scales itself to the screen's resolution when it loads, which it asks of the user interface.
void StartUserInterface();

}  // namespace tvx
