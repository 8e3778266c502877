// The load test's own server: a scratch data folder with one user, the server program started
// on it (through LaunchServer, server/launch/server_process.h) and stopped after, and the
// folder removed.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tvx::example {

class ScratchServer {
 public:
  // Adds the user to a new database in a scratch folder (`program user add`), then runs
  // `program --data <scratch>/data --port 0 --quiet EXTRA...` and reads the port it reports.
  ScratchServer(const std::string& program, const std::string& user, const std::string& password,
                const std::vector<std::string>& extra = {});
  ~ScratchServer();  // SIGTERM, wait, remove the scratch folder
  ScratchServer(const ScratchServer&) = delete;
  ScratchServer& operator=(const ScratchServer&) = delete;

  std::uint16_t Port() const { return port_; }
  std::filesystem::path ExportFolder() const { return folder_ / "data" / "exports"; }

 private:
  std::filesystem::path folder_;
  pid_t pid_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace tvx::example
