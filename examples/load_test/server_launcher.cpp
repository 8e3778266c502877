#include "load_test/server_launcher.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "server/server_launch.h"

namespace tvx::example {

ServerLauncher::ServerLauncher(const std::string& program) {
  std::string pattern = (std::filesystem::temp_directory_path() / "tvx-load-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  const LaunchedServer server =
      LaunchServer({program, "--data", (folder_ / "data").string(), "--port", "0", "--quiet"});
  pid_ = server.pid;
  port_ = server.port;
}

ServerLauncher::~ServerLauncher() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

}  // namespace tvx::example
