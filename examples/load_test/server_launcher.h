// Starts the server program for the load test in a scratch data folder and stops it after.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tvx::example {

class ServerLauncher {
 public:
  // Adds the user to a new database in a scratch folder (`program user add`), then runs
  // `program --data <scratch>/data --port 0 --quiet EXTRA...` and reads the port it reports.
  ServerLauncher(const std::string& program, const std::string& user, const std::string& password,
                 const std::vector<std::string>& extra = {});
  ~ServerLauncher();  // SIGTERM, wait, remove the scratch folder
  ServerLauncher(const ServerLauncher&) = delete;
  ServerLauncher& operator=(const ServerLauncher&) = delete;

  std::uint16_t Port() const { return port_; }
  std::filesystem::path ExportFolder() const { return folder_ / "data" / "exports"; }

 private:
  std::filesystem::path folder_;
  pid_t pid_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace tvx::example
