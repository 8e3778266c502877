// A server for the client's tests that plays a script: it accepts connections on a free
// loopback port and runs the script for each on a thread of its own. Scripts read and write
// frames themselves, so they can answer well, badly, late or not at all.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/frame_io.h"
#include "protocol/messages.h"
#include "protocol/socket.h"

namespace tvx::example::test {

class ScriptedServer {
 public:
  using Script = std::function<void(Socket& socket)>;

  explicit ScriptedServer(Script script);
  // Ends every connection and waits for the scripts.
  ~ScriptedServer();

  std::uint16_t Port() const { return port_; }
  int Connections() const { return connections_.load(); }

 private:
  void Accept();

  Script script_;
  Listener listener_;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::vector<std::shared_ptr<Socket>> sockets_;
  std::vector<std::thread> scripts_;
  std::thread acceptor_;
};

// Script steps. Receive waits up to ten seconds for a frame.
Frame Receive(Socket& socket);
void Send(Socket& socket, FrameType type, const std::vector<std::uint8_t>& payload);
// Reads the client's Hello and answers it, naming these methods.
void Greet(Socket& socket, std::vector<std::string> methods = {"ExportAllData", "ExportData1C"});
// Waits until the client closes the connection (or ten seconds pass).
void WaitForClose(Socket& socket);

// A loopback port on which nothing listens.
std::uint16_t UnusedPort();

}  // namespace tvx::example::test
