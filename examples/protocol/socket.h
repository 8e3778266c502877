// TCP sockets for the application-server connection, the same on Linux and Windows
// (Winsock). Sockets are non-blocking; every wait has a deadline, and a failure raises
// ConnectionError with the reason in the operator's words.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tvx::example {

using Clock = std::chrono::steady_clock;

class TlsSession;
// Deletes a TlsSession where its type is complete, so that Socket's inline members need not.
struct TlsSessionDeleter {
  void operator()(TlsSession* session) const noexcept;
};
using TlsSessionPtr = std::unique_ptr<TlsSession, TlsSessionDeleter>;

class Socket {
 public:
  Socket() = default;
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  Socket(Socket&& other) noexcept;
  Socket& operator=(Socket&& other) noexcept;
  ~Socket();

  // Connects to host:port within `timeout` (TCP_NODELAY set: requests are small and each
  // waits for its reply). Raises ConnectionError: kRefused, kTimedOut or kUnreachable.
  static Socket Connect(const std::string& host, std::uint16_t port,
                        std::chrono::milliseconds timeout);

  bool IsOpen() const { return handle_ != kInvalid; }

  // Sends every byte before the deadline. Raises ConnectionError kTimedOut or kClosed.
  void SendAll(std::span<const std::uint8_t> bytes, Clock::time_point deadline);
  // Fills `bytes` before the deadline. Raises ConnectionError kTimedOut, or kClosed when the
  // peer closes or resets the connection first.
  void ReceiveExact(std::span<std::uint8_t> bytes, Clock::time_point deadline);
  // Waits until something can be read (or the peer has closed); false at the deadline.
  bool WaitReadable(Clock::time_point deadline);
  // For a connection that waits for nothing: true when the peer has closed or reset it, or
  // sent bytes nobody asked for. Does not wait.
  bool PeerGone();

  // Ends both directions: a thread waiting on this socket in another call wakes up.
  void Shutdown();
  // Closes the connection; a TLS session tells the peer first when it can at once.
  void Close();

  // From now on the calls above encrypt and decrypt through `session` (tls.h).
  void UseTls(TlsSessionPtr session);
  bool Secure() const { return tls_ != nullptr; }

  // The TCP bytes beneath TLS, for TlsSession. SendRaw sends every byte before the deadline;
  // ReceiveRaw returns at least one byte (at most bytes.size()) before it; both raise
  // ConnectionError as SendAll and ReceiveExact do. WaitRaw waits until the socket can be
  // read (or written); false at the deadline. PeekRaw waits until at least bytes.size() bytes
  // have arrived or the deadline passes, and copies what has of them without taking it off
  // the socket; it returns how many, and raises kClosed when the peer closes first.
  void SendRaw(std::span<const std::uint8_t> bytes, Clock::time_point deadline);
  std::size_t ReceiveRaw(std::span<std::uint8_t> bytes, Clock::time_point deadline);
  bool WaitRaw(bool for_write, Clock::time_point deadline);
  std::size_t PeekRaw(std::span<std::uint8_t> bytes, Clock::time_point deadline);
  bool PeerGoneRaw();
  std::intptr_t NativeHandle() const { return handle_; }

  // "address:port" of the peer, for logs; empty when unknown.
  std::string PeerName() const;
  // The peer's address alone ("127.0.0.1", "::1"); empty when unknown.
  std::string PeerAddress() const;

 private:
  friend class Listener;
  static constexpr std::intptr_t kInvalid = -1;
  explicit Socket(std::intptr_t handle);

  std::intptr_t handle_ = kInvalid;
  TlsSessionPtr tls_;
};

// True when every address that `host` names is a loopback one (127.0.0.0/8, ::1): a
// connection to it never leaves the machine. False for a name that does not resolve.
bool IsLoopbackHost(const std::string& host);

class Listener {
 public:
  Listener() = default;
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;
  Listener(Listener&& other) noexcept;
  Listener& operator=(Listener&& other) noexcept;
  ~Listener();

  // Listens on host:port (port 0: a free port that the system picks). Raises
  // ConnectionError kUnreachable with the system's reason when it cannot.
  static Listener Bind(const std::string& host, std::uint16_t port, int backlog = 128);

  std::uint16_t Port() const;
  // The next connection, or a closed Socket when none arrives within `timeout`. Raises
  // ConnectionError kUnreachable with the system's reason when accepting fails for a reason
  // that does not pass by itself at once (no descriptors or memory left, for instance).
  Socket Accept(std::chrono::milliseconds timeout);

 private:
  std::intptr_t handle_ = -1;
};

}  // namespace tvx::example
