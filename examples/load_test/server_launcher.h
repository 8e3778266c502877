// Starts the server program for the load test in a scratch data folder and stops it after.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace tvx::example {

class ServerLauncher {
 public:
  // Runs `program --data <scratch>/data --port 0 --quiet` and reads the port it reports.
  explicit ServerLauncher(const std::string& program);
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
