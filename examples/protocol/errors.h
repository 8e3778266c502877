// The failures of the application-server connection, on both of its sides.
#pragma once

#include <string>

#include "rtl/exceptions.h"

namespace tvx::example {

// Bytes that break the protocol: a frame or a message that does not read as documented in
// docs/protocol.md. The side that receives them closes the connection.
class ProtocolError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "ProtocolError"; }
};

// Why a connection could not be used.
enum class ConnectionFailure {
  kRefused,      // nobody listens at the address
  kUnreachable,  // no route, the name does not resolve, or the connection was not set up
  kTimedOut,     // the peer did not answer within the time-out
  kClosed,       // the peer closed or reset the connection
  kMalformed,    // the peer sent bytes that break the protocol
  kRejected,     // the peer is no application server, or speaks another version
  kDenied,       // the server does not know the user, or the password is wrong
};

// The reason of a connection that the peer closed or reset.
inline constexpr char kConnectionBroken[] = "соединение разорвано";

// A connection that failed. The message is the reason alone, in the operator's words
// (kConnectionBroken); the client puts the address in front of it.
class ConnectionError : public Exception {
 public:
  ConnectionError(ConnectionFailure failure, std::string message)
      : Exception(std::move(message)), failure_(failure) {}
  ConnectionFailure Failure() const noexcept { return failure_; }
  const char* ClassName() const noexcept override { return "ConnectionError"; }

 private:
  ConnectionFailure failure_;
};

}  // namespace tvx::example
