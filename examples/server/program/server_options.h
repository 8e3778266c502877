// The command line of the example application server.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/core/app_server_core.h"
#include "server/net/network_server.h"

namespace tvx::example {

struct ServerOptions {
  ServerSettings server;
  NetworkSettings network;
  bool quiet = false;
  bool help = false;
};

// Raises Exception with a message naming the option that is wrong.
ServerOptions ParseServerOptions(const std::vector<std::string>& arguments);

extern const char kServerUsage[];

}  // namespace tvx::example
