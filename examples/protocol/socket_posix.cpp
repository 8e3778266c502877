// The system's side of sockets through the POSIX calls.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "protocol/socket_native.h"

namespace tvx::example::native {

void StartSockets() {}

int LastError() { return errno; }
bool WouldBlock(int error) {
  return error == EAGAIN || error == EWOULDBLOCK || error == EINPROGRESS;
}
bool Interrupted(int error) { return error == EINTR; }
bool IsRefused(int error) { return error == ECONNREFUSED; }
// Linux reports the network errors of a connection that is still being set up through accept;
// they concern that one client, not the listener.
bool AbortedBeforeAccept(int error) {
  return error == ECONNABORTED || error == EPROTO || error == ENETDOWN || error == ENOPROTOOPT ||
         error == EHOSTDOWN || error == ENONET || error == EHOSTUNREACH || error == EOPNOTSUPP ||
         error == ENETUNREACH || error == EPERM;
}
std::string ErrorText(int error) { return std::strerror(error); }

void Close(Handle s) { ::close(s); }

void SetNonBlocking(Handle s) { fcntl(s, F_SETFL, fcntl(s, F_GETFL, 0) | O_NONBLOCK); }

void AllowAddressReuse(Handle s) {
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}

void ShutdownBoth(Handle s) { shutdown(s, SHUT_RDWR); }

int Wait(Handle s, bool for_write, int timeout_ms) {
  pollfd entry{s, static_cast<short>(for_write ? POLLOUT : POLLIN), 0};
  return ::poll(&entry, 1, timeout_ms);
}

}  // namespace tvx::example::native
