// The server's admin verbs, run instead of the server when the command line begins with one:
//   tavolex_app_server user add NAME --role operator|export|admin [--data DIR]
//       adds the user, or gives an existing one a new password and role; the password is read
//       from standard input (asked for twice, unechoed, on a terminal)
//   tavolex_app_server user remove NAME [--data DIR]
//   tavolex_app_server user list [--data DIR]
//   tavolex_app_server status [--data DIR] [--exports DIR]
//       the history's rows and the exports' files: each committed export whose file is
//       missing is named, and the status is then 1
//   tavolex_app_server tls make-cert --out DIR [--name HOST]
//       a self-signed certificate and its key for the server's TLS (server/tls/tls_certificate.h)
// The verbs of users and status work on the database of the data folder (created if missing, like
// the server's, with
// --empty for one without sample rows), also while a server runs on it.
#pragma once

#include <string>
#include <vector>

namespace tvx::example {

// True when the arguments start with an admin verb.
bool IsAdminVerb(const std::vector<std::string>& arguments);
// Runs it; returns the exit status (0 done, 1 failed, 2 wrong command line) after printing
// what it did, or why not, on standard output or standard error.
int RunAdminVerb(const std::vector<std::string>& arguments);

extern const char kAdminUsage[];

}  // namespace tvx::example
