// The client end of one connection to the application server: connects, greets, and makes
// synchronous requests with a time-out. Used by the COM object that hosts hand to the module,
// and by tools that talk to the server directly.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/errors.h"
#include "protocol/frame.h"
#include "protocol/messages.h"
#include "protocol/socket.h"

namespace tvx::example {

inline constexpr std::uint16_t kDefaultPort = 2110;

struct ClientOptions {
  std::string host = "127.0.0.1";
  std::uint16_t port = kDefaultPort;
  std::chrono::milliseconds connect_timeout{5000};
  // The longest wait for one reply (an export of a large database takes a while).
  std::chrono::milliseconds call_timeout{60000};
  std::string client_name = "Tavolex client";
  // Who the client speaks for: one of the server's users (tavolex_app_server user add).
  std::string user;
  std::string password;
  // TLS (1.2 or later), which a server started with --tls-cert speaks on every connection.
  // Without a pin the server's certificate must chain to a root that the system trusts and
  // name `host`; with one (its SHA-256 fingerprint, 64 hex digits, colons allowed, as
  // `tavolex_app_server tls make-cert` prints it) it must be that very certificate.
  bool tls = false;
  std::string tls_pin;
};

// A request that the server carried out and refused: its status code and error texts.
class ServerError : public Exception {
 public:
  ServerError(std::int32_t code, std::string source, std::string description)
      : Exception(std::move(description)), code_(code), source_(std::move(source)) {}
  std::int32_t Code() const noexcept { return code_; }
  const std::string& Source() const noexcept { return source_; }
  const char* ClassName() const noexcept override { return "ServerError"; }

 private:
  std::int32_t code_;
  std::string source_;
};

// One connection. A connection that failed once (time-out, drop, bad data) is closed and stays
// unusable: a late reply could otherwise be taken for the answer to the next request. Calls
// from several threads take turns.
class AppServerClient {
 public:
  explicit AppServerClient(ClientOptions options);

  // Connects, sets up TLS when the options ask for it, and greets with the user's name and
  // password. Raises ConnectionError whose message reads "Нет связи с сервером приложений
  // (host:port): <reason>"; its failure is kDenied when the server refused the name or
  // password, kRejected when TLS could not be set up (the server speaks without it, or its
  // certificate is not the one expected).
  void Connect();
  // Connected, not failed, and the server has not closed its end meanwhile.
  bool Usable();
  void Disconnect();

  // AS_GetRecords and Invoke. Raise ServerError for a refused request, ConnectionError
  // (message as for Connect) when the connection fails; no request is ever sent twice.
  GetRecordsReply GetRecords(const GetRecordsRequest& request);
  InvokeReply Invoke(const InvokeRequest& request);

  // What the server said in its greeting.
  const std::string& ServerName() const { return server_name_; }
  const std::vector<std::string>& Methods() const { return methods_; }
  // "host:port".
  std::string Address() const;
  const ClientOptions& Options() const { return options_; }

 private:
  // Sends one request and reads its reply, of type `expected` or an error.
  Frame Exchange(FrameType type, const std::vector<std::uint8_t>& payload, FrameType expected);
  [[noreturn]] void Fail(const ConnectionError& error);
  [[noreturn]] void Fail(ConnectionFailure failure, const std::string& reason);

  ClientOptions options_;
  std::mutex mutex_;
  Socket socket_;
  std::string server_name_;
  std::vector<std::string> methods_;
};

// "Нет связи с сервером приложений (address): reason".
std::string NoConnectionText(const std::string& address, const std::string& reason);

}  // namespace tvx::example
