// Starting the server program as a child process, for the programs and tests that drive a
// real server: the load test and the server's own end-to-end tests.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tvx::example {

struct LaunchedServer {
  pid_t pid = -1;
  std::uint16_t port = 0;
};

// Runs `arguments` (the program first) with its standard output read up to its first line,
// "listening on HOST:PORT", and its standard error appended to `error_log` when one is named.
// A program that does not report so is killed and waited for, and std::runtime_error says
// what it printed instead. `max_open_files`, when not 0, is the child's limit of open
// descriptors (RLIMIT_NOFILE), for tests that run the server out of them.
LaunchedServer LaunchServer(std::vector<std::string> arguments, const std::string& error_log = {},
                            unsigned max_open_files = 0);

}  // namespace tvx::example
