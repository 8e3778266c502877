// The server's network side: listens on a TCP address and serves each connection on a thread
// of its own, reading requests as frames and answering them through AppServerCore.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include "protocol/frame.h"
#include "protocol/socket.h"
#include "protocol/tls_server.h"
#include "server/core/app_server_core.h"
#include "server/users/login_throttle.h"

namespace tvx::example {

struct NetworkSettings {
  std::string host = "127.0.0.1";
  std::uint16_t port = 2110;
  // The certificate and key (PEM files) of TLS; empty: the connections are plain, and the
  // server listens on loopback addresses only.
  std::string tls_certificate;
  std::string tls_key;
  // How long a new connection may take to greet (its whole Hello frame), how long a greeted
  // one may wait between requests, and how long one frame may take to arrive or to leave
  // once begun.
  std::chrono::milliseconds greeting_timeout{5000};
  std::chrono::milliseconds idle_timeout{600000};
  std::chrono::milliseconds io_timeout{30000};
  // Connections served at once, and from one address. When every place is taken, a new
  // connection takes the place of the oldest one that has not greeted yet; with none such,
  // and beyond the limit of its address, it is refused with an error reply.
  std::size_t max_clients = 256;
  std::size_t max_per_address = 32;
  // Connections of one user at once; a login beyond them is refused.
  std::size_t max_per_user = 8;
  // The waits between guesses of passwords, and the failed logins a minute (LoginThrottle).
  LoginPolicy login;
  // Passwords checked at once: each check takes tens of megabytes for a moment.
  std::size_t concurrent_login_checks = 4;
};

class NetworkServer {
 public:
  // Loads the TLS certificate and key when the settings name them, and binds the address,
  // which must be a loopback one (IsLoopbackHost) unless the connections are encrypted.
  // Raises Exception for another address or a certificate that cannot be loaded,
  // ConnectionError when it cannot bind.
  NetworkServer(AppServerCore& core, NetworkSettings settings);
  virtual ~NetworkServer();
  NetworkServer(const NetworkServer&) = delete;
  NetworkServer& operator=(const NetworkServer&) = delete;

  std::uint16_t Port() const { return listener_.Port(); }
  // The SHA-256 fingerprint of the TLS certificate; empty when the connections are plain.
  std::string TlsFingerprint() const;

  // Serves until Stop; then ends every connection (a request under way finishes first) and
  // returns.
  void Run();
  // Safe from any thread and from a signal handler.
  void Stop() { stop_.store(true); }

 private:
  struct Session {
    std::uint64_t id = 0;
    std::string address;  // the peer's, without its port
    Clock::time_point accepted;
    Socket socket;
    std::thread thread;
    std::atomic<bool> greeted{false};
    std::atomic<bool> evicted{false};
    std::atomic<bool> done{false};
  };

 protected:
  // Runs a session's thread; a failure to start it (std::system_error) refuses that one
  // client. Tests put a failing start in its place.
  virtual std::thread StartThread(std::function<void()> work);

 private:
  void Admit(Socket socket);
  // Ends the oldest session that has not greeted yet; false when every session has.
  bool EvictOneSilent();
  void Serve(Session& session);
  // Sets up the session's TLS within the greeting's deadline; false (and logged) when the
  // client speaks without TLS, which is told so in clear, or its handshake fails.
  bool StartTls(Socket& socket, const std::string& who, Clock::time_point deadline);
  // The reply to a request, and what the log says of it.
  struct Outcome {
    std::string summary;
    FrameType type;
    std::vector<std::uint8_t> payload;
  };
  // Runs one request (`work` returns its Outcome), logs it and sends the reply; a refusal
  // goes back as an error reply, and the connection stays open.
  template <class Work>
  void Answer(Socket& socket, const std::string& who, const std::string& what, Work work);
  void ReapFinished();
  // Checks a Hello's name and password within the login limits: the user, or a refusal that
  // has been logged and answered.
  std::optional<User> LogIn(Session& session, const std::string& who, const Hello& hello);
  // Takes one of the user's places; false when it has them all.
  bool TakePlace(const std::string& user);
  void GivePlace(const std::string& user);

  AppServerCore& core_;
  NetworkSettings settings_;
  std::unique_ptr<TlsServerContext> tls_;
  Listener listener_;
  std::atomic<bool> stop_{false};
  LoginThrottle throttle_;
  std::counting_semaphore<> login_checks_;
  std::mutex places_mutex_;
  std::map<std::string, std::size_t> places_;  // greeted connections by user name
  std::list<std::unique_ptr<Session>> sessions_;
  std::uint64_t next_id_ = 1;
};

}  // namespace tvx::example
