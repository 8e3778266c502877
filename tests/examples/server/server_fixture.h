// What the example server's tests share: a scratch folder, rows of known content, a real
// server process to start, stop and kill, and a raw connection that sends whatever it is told.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "protocol/frame_io.h"
#include "protocol/messages.h"
#include "protocol/socket.h"
#include "server/core/app_server_core.h"
#include "server/store/sqlite.h"
#include "server/users/roles.h"

namespace tvx::example::test {

// The user that the test servers know, with the admin role, and its password.
inline constexpr char kTestUser[] = "tester";
inline constexpr char kTestPassword[] = "test password";

// Adds a user to the database of the data folder (creating the database, with or without
// the sample rows, if it is missing).
void AddUser(const std::filesystem::path& data_folder, const std::string& name,
             const std::string& password, Role role, bool sample_data = false);

// A Hello from the test user.
Hello TestHello(std::string client_name = "raw test client");

// Settings of a server whose data live in `data_folder`, without a limit of exports a minute.
ServerSettings Settings(const std::filesystem::path& data_folder, bool sample_data = true);

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Inserts staff, vacations and extra pay with the given change times ("YYYY-MM-DD HH:MM:SS"),
// one vacation and one extra pay per staff row; returns the staff IDs.
struct ChangedRows {
  std::vector<std::int64_t> staff;
  std::vector<std::int64_t> vacations;
  std::vector<std::int64_t> extra_pay;
};
ChangedRows InsertRowsChangedAt(Database& db, const std::vector<std::string>& moments);

std::int64_t CountRows(Database& db, const std::string& table);

// The IDs of the elements of one kind ("Employee", "Vacation", "Payment") in an export file.
std::set<std::int64_t> ElementIds(const std::string& xml, const std::string& element);
std::string ReadFile(const std::filesystem::path& path);
// Names of the files in a folder.
std::set<std::string> FileNames(const std::filesystem::path& folder);

// The real server program, started on a free port with its data in `data_folder`, where it
// knows kTestUser. Its standard error goes to a log file that the test can search.
class ServerProcess {
 public:
  ServerProcess(const std::filesystem::path& data_folder, std::vector<std::string> arguments = {},
                std::uint16_t port = 0, unsigned max_open_files = 0);
  ~ServerProcess();  // kills it if it still runs
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  std::uint16_t Port() const { return port_; }
  // A number of the process's /proc status ("Threads", "VmRSS" in kB); -1 when unknown.
  long Status(const std::string& field) const;
  // SIGKILL, or SIGTERM with a wait for a clean exit (returns the exit status).
  void Kill();
  int Stop();
  // Waits (up to 30 seconds) until the log holds `text`; false if it never does.
  bool WaitForLog(const std::string& text) const;
  std::string Log() const;

 private:
  pid_t pid_ = -1;
  std::uint16_t port_ = 0;
  std::filesystem::path log_;
};

// A connection that speaks frames directly, for requests no proper client would send. It
// greets as kTestUser when told to.
class RawClient {
 public:
  explicit RawClient(std::uint16_t port, bool greet = true);
  void Send(FrameType type, const std::vector<std::uint8_t>& payload);
  void SendBytes(const std::vector<std::uint8_t>& bytes);
  Frame Receive();
  // True when the server closes the connection (within ten seconds) without sending more.
  bool ClosedByServer();
  void Close() { socket_.Close(); }

 private:
  Socket socket_;
};

// A connection that says nothing, made from a loopback address of its own choosing
// ("127.0.0.2"), as a client on another machine would be.
class SilentConnection {
 public:
  SilentConnection(std::uint16_t port, const std::string& from_address);
  ~SilentConnection();
  SilentConnection(const SilentConnection&) = delete;
  SilentConnection& operator=(const SilentConnection&) = delete;
  // Sends these bytes, and nothing after them.
  void Say(const std::vector<std::uint8_t>& bytes);
  // True when the server closes the connection within `patience`, after sending whatever it
  // had to say.
  bool ClosedByServer(std::chrono::milliseconds patience = std::chrono::seconds(10));

 private:
  int fd_ = -1;
};

// Waits up to 30 seconds for a condition.
template <class Condition>
bool Eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace tvx::example::test
