#include "load_test/server_launcher.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace tvx::example {

ServerLauncher::ServerLauncher(const std::string& program) {
  std::string pattern = (std::filesystem::temp_directory_path() / "tvx-load-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  int out[2];
  if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
  std::vector<std::string> args = {program,  "--data", (folder_ / "data").string(),
                                   "--port", "0",      "--quiet"};
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
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
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    throw std::runtime_error("the server did not start (" + program + ")");
  }
  port_ = static_cast<std::uint16_t>(std::stoi(line.substr(colon + 1)));
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
