// Socket and Listener on the calls that Winsock and POSIX share; what differs between them
// (names, error codes, waiting) comes from socket_native.h, made for each platform by
// socket_win32.cpp and socket_posix.cpp.
#include "protocol/socket.h"

#include <algorithm>
#include <string>
#include <thread>
#include <utility>

#include "protocol/errors.h"
#include "protocol/socket_native.h"
#include "protocol/tls.h"

namespace tvx::example {

namespace {

using Native = native::Handle;
constexpr Native kNone = native::kNone;

Native ToNative(std::intptr_t handle) { return static_cast<Native>(handle); }
std::intptr_t FromNative(Native s) {
  return s == kNone ? std::intptr_t{-1} : static_cast<std::intptr_t>(s);
}

// Milliseconds to the deadline, rounded up, never negative.
int RemainingMs(Clock::time_point deadline) {
  const auto left = deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::min<long long>(ms, 24LL * 3600 * 1000));
}

// True when the socket is ready before the deadline.
bool Wait(Native s, bool for_write, Clock::time_point deadline) {
  for (;;) {
    const int n = native::Wait(s, for_write, RemainingMs(deadline));
    if (n > 0) return true;
    if (n == 0) {
      if (Clock::now() >= deadline) return false;
      continue;
    }
    if (!native::Interrupted(native::LastError())) return true;  // the next call reports the error
  }
}

ConnectionError Closed() { return ConnectionError(ConnectionFailure::kClosed, kConnectionBroken); }

void SetNoDelay(Native s) {
  int on = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

struct AddressList {
  addrinfo* head = nullptr;
  ~AddressList() {
    if (head != nullptr) freeaddrinfo(head);
  }
};

void Resolve(const std::string& host, std::uint16_t port, bool passive, AddressList& list) {
  addrinfo hints{};
  hints.ai_family = 0;  // any address family: IPv4 and IPv6 alike
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  if (passive) hints.ai_flags = AI_PASSIVE;
  const std::string service = std::to_string(port);
  const int rc =
      getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &list.head);
  if (rc != 0 || list.head == nullptr) {
    throw ConnectionError(ConnectionFailure::kUnreachable, "адрес «" + host + "» не найден");
  }
}

}  // namespace

Socket::Socket(std::intptr_t handle) : handle_(handle) {}

Socket::Socket(Socket&& other) noexcept
    : handle_(std::exchange(other.handle_, kInvalid)), tls_(std::move(other.tls_)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kInvalid);
    tls_ = std::move(other.tls_);
  }
  return *this;
}

Socket::~Socket() { Close(); }

void Socket::Close() {
  if (tls_ != nullptr) {
    if (handle_ != kInvalid) tls_->Close(*this);
    tls_.reset();
  }
  if (handle_ != kInvalid) native::Close(ToNative(std::exchange(handle_, kInvalid)));
}

void TlsSessionDeleter::operator()(TlsSession* session) const noexcept { delete session; }

void Socket::UseTls(TlsSessionPtr session) { tls_ = std::move(session); }

void Socket::Shutdown() {
  if (handle_ != kInvalid) native::ShutdownBoth(ToNative(handle_));
}

Socket Socket::Connect(const std::string& host, std::uint16_t port,
                       std::chrono::milliseconds timeout) {
  native::StartSockets();
  const auto deadline = Clock::now() + timeout;
  AddressList addresses;
  Resolve(host, port, false, addresses);
  ConnectionError failure(ConnectionFailure::kUnreachable, "соединение не установлено");
  for (addrinfo* a = addresses.head; a != nullptr; a = a->ai_next) {
    Socket socket(FromNative(::socket(a->ai_family, a->ai_socktype, a->ai_protocol)));
    if (!socket.IsOpen()) {
      failure =
          ConnectionError(ConnectionFailure::kUnreachable, native::ErrorText(native::LastError()));
      continue;
    }
    const Native s = ToNative(socket.handle_);
    native::SetNonBlocking(s);
    SetNoDelay(s);
    int error = 0;
    if (::connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) != 0) {
      error = native::LastError();
      if (native::WouldBlock(error)) {
        if (!Wait(s, true, deadline)) {
          failure = ConnectionError(ConnectionFailure::kTimedOut,
                                    "сервер не ответил на попытку соединения");
          continue;
        }
        socklen_t length = sizeof error;
        error = 0;
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
      }
    }
    if (error == 0) return socket;
    failure = native::IsRefused(error)
                  ? ConnectionError(ConnectionFailure::kRefused, "соединение отклонено")
                  : ConnectionError(ConnectionFailure::kUnreachable, native::ErrorText(error));
  }
  throw failure;
}

void Socket::SendAll(std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
  if (tls_ != nullptr) {
    tls_->Send(*this, bytes, deadline);
  } else {
    SendRaw(bytes, deadline);
  }
}

void Socket::SendRaw(std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
  const Native s = ToNative(handle_);
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const std::size_t chunk = std::min<std::size_t>(bytes.size() - sent, 1 << 20);
    const auto n = ::send(s, reinterpret_cast<const char*>(bytes.data() + sent),
                          static_cast<int>(chunk), native::kSendFlags);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    const int error = native::LastError();
    if (n < 0 && native::Interrupted(error)) continue;
    if (n < 0 && native::WouldBlock(error)) {
      if (!Wait(s, true, deadline)) {
        throw ConnectionError(ConnectionFailure::kTimedOut,
                              "истекло время ожидания при отправке данных");
      }
      continue;
    }
    throw Closed();
  }
}

void Socket::ReceiveExact(std::span<std::uint8_t> bytes, Clock::time_point deadline) {
  std::size_t received = 0;
  while (received < bytes.size()) {
    const auto rest = bytes.subspan(received);
    received += tls_ != nullptr ? tls_->Receive(*this, rest, deadline) : ReceiveRaw(rest, deadline);
  }
}

std::size_t Socket::ReceiveRaw(std::span<std::uint8_t> bytes, Clock::time_point deadline) {
  const Native s = ToNative(handle_);
  for (;;) {
    const std::size_t chunk = std::min<std::size_t>(bytes.size(), 1 << 20);
    const auto n = ::recv(s, reinterpret_cast<char*>(bytes.data()), static_cast<int>(chunk), 0);
    if (n > 0) return static_cast<std::size_t>(n);
    if (n == 0) throw Closed();
    const int error = native::LastError();
    if (native::Interrupted(error)) continue;
    if (native::WouldBlock(error)) {
      if (!Wait(s, false, deadline)) {
        throw ConnectionError(ConnectionFailure::kTimedOut, "сервер не ответил вовремя");
      }
      continue;
    }
    throw Closed();
  }
}

bool Socket::WaitRaw(bool for_write, Clock::time_point deadline) {
  return Wait(ToNative(handle_), for_write, deadline);
}

std::size_t Socket::PeekRaw(std::span<std::uint8_t> bytes, Clock::time_point deadline) {
  const Native s = ToNative(handle_);
  for (;;) {
    if (!Wait(s, false, deadline)) return 0;
    const auto n =
        ::recv(s, reinterpret_cast<char*>(bytes.data()), static_cast<int>(bytes.size()), MSG_PEEK);
    if (n == 0) throw Closed();
    if (n < 0) {
      const int error = native::LastError();
      if (native::Interrupted(error) || native::WouldBlock(error)) continue;
      throw Closed();
    }
    if (static_cast<std::size_t>(n) >= bytes.size() || Clock::now() >= deadline) {
      return static_cast<std::size_t>(n);
    }
    // Part of them is there: the socket stays readable, so wait a little for the rest
    // rather than spin.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool Socket::WaitReadable(Clock::time_point deadline) {
  if (tls_ != nullptr && tls_->Pending()) return true;
  return Wait(ToNative(handle_), false, deadline);
}

bool Socket::PeerGone() {
  if (!IsOpen()) return true;
  return tls_ != nullptr ? tls_->PeerGone(*this) : PeerGoneRaw();
}

bool Socket::PeerGoneRaw() {
  if (!IsOpen()) return true;
  const Native s = ToNative(handle_);
  if (native::Wait(s, false, 0) <= 0) return false;
  char byte = 0;
  const auto n = ::recv(s, &byte, 1, MSG_PEEK);
  if (n < 0 && native::WouldBlock(native::LastError())) return false;
  return true;
}

namespace {

// The numeric host and port of a socket's peer; false when unknown.
bool PeerParts(std::intptr_t handle, std::string& host, std::string& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getpeername(ToNative(handle), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return false;
  }
  char host_text[64] = {};
  char service[16] = {};
  if (getnameinfo(reinterpret_cast<sockaddr*>(&address), length, host_text, sizeof host_text,
                  service, sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    return false;
  }
  host = host_text;
  port = service;
  return true;
}

}  // namespace

std::string Socket::PeerName() const {
  std::string host, port;
  if (!PeerParts(handle_, host, port)) return {};
  return host + ":" + port;
}

std::string Socket::PeerAddress() const {
  std::string host, port;
  if (!PeerParts(handle_, host, port)) return {};
  return host;
}

bool IsLoopbackHost(const std::string& host) {
  native::StartSockets();
  if (host.empty()) return false;  // every address of the machine
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* head = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &head) != 0 || head == nullptr) return false;
  bool loopback = true;
  for (addrinfo* a = head; a != nullptr; a = a->ai_next) {
    if (a->ai_family == AF_INET) {
      const auto* v4 = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
      loopback = loopback && (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
    } else if (a->ai_family == AF_INET6) {
      const auto* v6 = reinterpret_cast<const sockaddr_in6*>(a->ai_addr);
      loopback = loopback && IN6_IS_ADDR_LOOPBACK(&v6->sin6_addr);
    } else {
      loopback = false;
    }
  }
  freeaddrinfo(head);
  return loopback;
}

Listener::Listener(Listener&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

Listener& Listener::operator=(Listener&& other) noexcept {
  if (this != &other) {
    if (handle_ != -1) native::Close(ToNative(handle_));
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}

Listener::~Listener() {
  if (handle_ != -1) native::Close(ToNative(handle_));
}

Listener Listener::Bind(const std::string& host, std::uint16_t port, int backlog) {
  native::StartSockets();
  AddressList addresses;
  Resolve(host, port, true, addresses);
  std::string reason = "нет адреса";
  for (addrinfo* a = addresses.head; a != nullptr; a = a->ai_next) {
    const Native s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (s == kNone) {
      reason = native::ErrorText(native::LastError());
      continue;
    }
    native::AllowAddressReuse(s);
    if (::bind(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) != 0 || ::listen(s, backlog) != 0) {
      reason = native::ErrorText(native::LastError());
      native::Close(s);
      continue;
    }
    native::SetNonBlocking(s);
    Listener listener;
    listener.handle_ = FromNative(s);
    return listener;
  }
  throw ConnectionError(ConnectionFailure::kUnreachable, "не удалось занять адрес " + host + ":" +
                                                             std::to_string(port) + ": " + reason);
}

std::uint16_t Listener::Port() const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(ToNative(handle_), reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  if (address.ss_family == AF_INET) {
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
  }
  return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
}

Socket Listener::Accept(std::chrono::milliseconds timeout) {
  const Native listening = ToNative(handle_);
  if (!Wait(listening, false, Clock::now() + timeout)) return {};
  const Native s = ::accept(listening, nullptr, nullptr);
  if (s == kNone) {
    const int error = native::LastError();
    // Nothing to accept after all (another thread took it, or the client gave up first).
    if (native::WouldBlock(error) || native::Interrupted(error) ||
        native::AbortedBeforeAccept(error))
      return {};
    throw ConnectionError(ConnectionFailure::kUnreachable, native::ErrorText(error));
  }
  native::SetNonBlocking(s);
  SetNoDelay(s);
  return Socket(FromNative(s));
}

}  // namespace tvx::example
