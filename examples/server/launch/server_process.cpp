#include "server/launch/server_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace tvx::example {

LaunchedServer LaunchServer(std::vector<std::string> arguments, const std::string& error_log,
                            unsigned max_open_files) {
  if (arguments.empty()) throw std::invalid_argument("no server program to start");
  int out[2];
  if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
  LaunchedServer server;
  server.pid = ::fork();
  if (server.pid < 0) {
    ::close(out[0]);
    ::close(out[1]);
    throw std::runtime_error("fork failed");
  }
  if (server.pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    if (!error_log.empty()) {
      const int log = ::open(error_log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      if (log >= 0) ::dup2(log, STDERR_FILENO);
    }
    ::close(out[0]);
    if (max_open_files != 0) {
      const rlimit limit{max_open_files, max_open_files};
      ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  std::string line;
  char c = 0;
  while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
  ::close(out[0]);
  const auto colon = line.rfind(':');
  if (line.rfind("listening on ", 0) != 0 || colon == std::string::npos) {
    ::kill(server.pid, SIGKILL);
    ::waitpid(server.pid, nullptr, 0);
    throw std::runtime_error("the server did not start (" + arguments.front() + "): " + line);
  }
  server.port = static_cast<std::uint16_t>(std::stoi(line.substr(colon + 1)));
  return server;
}

}  // namespace tvx::example
