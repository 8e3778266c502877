// The example host's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "connection/app_server_client.h"

namespace tvx::host {

// What the host's main form and directory offer the modules. Anything but kFull exists to
// see how a module refuses or fails its initialisation.
enum class DirectoryOffer {
  kFull,          // IDirectoryAccess on the main form, IDirectory on the directory
  kNoAccess,      // the main form has no IDirectoryAccess
  kNoDirectory,   // GetDirectory returns nothing
  kForeignObject  // GetDirectory returns an object without IDirectory
};

struct HostOptions {
  std::string server_host = "127.0.0.1";
  std::uint16_t server_port = example::kDefaultPort;
  // The user of the application server the host logs in as. Without a password (neither
  // --password nor TAVOLEX_PASSWORD) the host asks for both in its login dialog.
  std::string user;
  std::string password;
  bool password_given = false;
  // TLS to the server (--tls), its certificate checked against Windows' trusted roots and
  // the server's name, or pinned to its SHA-256 fingerprint (--tls-pin, which implies --tls).
  bool tls = false;
  std::string tls_pin;
  // A folder of modules instead of the executable's own (UTF-8).
  std::string plugin_folder;
  DirectoryOffer offer = DirectoryOffer::kFull;
  // The scripted operator: "demo" for the built-in script, else a script file (UTF-8 path).
  std::string script;
  // Where screenshots go (a Windows path); empty: the script's shots are skipped.
  std::string shots;
  // Milliseconds the operator waits before each action, so that a watcher can follow.
  int pace_ms = 0;
  // Where the result lines go (a Windows path); empty: none are written.
  std::string results;
  bool help = false;
};

// Raises std::invalid_argument with a message that names the wrong option. The user and
// password in the environment (TAVOLEX_USER, TAVOLEX_PASSWORD; empty when unset) count unless
// the command line names them.
HostOptions ParseHostOptions(const std::vector<std::string>& arguments,
                             const std::string& environment_user = {},
                             const std::string* environment_password = nullptr);

extern const char kHostUsage[];

}  // namespace tvx::host
