#include "load_test/scratch_server.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "server/launch/server_process.h"

namespace tvx::example {

ScratchServer::ScratchServer(const std::string& program, const std::string& user,
                             const std::string& password, const std::vector<std::string>& extra) {
  std::string pattern = (std::filesystem::temp_directory_path() / "tvx-load-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  const std::string data = (folder_ / "data").string();
  const std::string add =
      "'" + program + "' user add '" + user + "' --role export --data '" + data + "' >/dev/null";
  FILE* verb = ::popen(add.c_str(), "w");
  if (verb == nullptr) throw std::runtime_error("cannot run " + program);
  std::fprintf(verb, "%s\n", password.c_str());
  if (::pclose(verb) != 0) throw std::runtime_error("could not add the user " + user);
  std::vector<std::string> arguments = {program, "--data", data, "--port", "0", "--quiet"};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  const LaunchedServer server = LaunchServer(arguments);
  pid_ = server.pid;
  port_ = server.port;
}

ScratchServer::~ScratchServer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

}  // namespace tvx::example
