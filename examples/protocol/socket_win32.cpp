// The system's side of sockets through Winsock.
#include <mutex>

#include "protocol/socket_native.h"

namespace tvx::example::native {

void StartSockets() {
  static std::once_flag once;
  std::call_once(once, [] {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  });
}

int LastError() { return WSAGetLastError(); }
bool WouldBlock(int error) { return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS; }
bool Interrupted(int error) { return error == WSAEINTR; }
bool IsRefused(int error) { return error == WSAECONNREFUSED; }
bool AbortedBeforeAccept(int error) { return error == WSAECONNRESET; }
std::string ErrorText(int error) { return "ошибка сети " + std::to_string(error); }

void Close(Handle s) { closesocket(s); }

void SetNonBlocking(Handle s) {
  u_long on = 1;
  ioctlsocket(s, FIONBIO, &on);
}

// Winsock's SO_REUSEADDR would let another socket take a port that is in use, so a listener
// does without it.
void AllowAddressReuse(Handle) {}

void ShutdownBoth(Handle s) { shutdown(s, SD_BOTH); }

// Waits on one socket with select: it has no descriptor limit issue for a single socket,
// and unlike WSAPoll it reports a refused connection attempt.
int Wait(Handle s, bool for_write, int timeout_ms) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(s, &ready);
  FD_SET(s, &failed);
  timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  const int n = select(0, for_write ? nullptr : &ready, for_write ? &ready : nullptr, &failed, &tv);
  return n;
}

}  // namespace tvx::example::native
