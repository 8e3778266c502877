// The host's login: a small modal dialog that asks for the name and password of a user of
// the application server. The scripted operator and the tests give them on the command line
// or in the environment instead (TavolexHost --user NAME, TAVOLEX_PASSWORD).
#pragma once

#include <windows.h>

#include <string>

namespace tvx::host {

struct Login {
  std::string user;      // UTF-8
  std::string password;  // UTF-8
};

// Shows the dialog over `owner` with the name filled in; false when the operator cancels.
bool AskForLogin(HWND owner, Login& login);

}  // namespace tvx::host
