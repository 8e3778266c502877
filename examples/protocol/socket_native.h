// What Socket and Listener (socket.cpp) take from the system beyond the calls that Winsock and
// POSIX share (socket, connect, send, recv, getaddrinfo and the like, which socket.cpp calls
// directly): the handle's type, error codes, waiting, closing and the few options that differ.
// socket_win32.cpp makes them of Winsock, socket_posix.cpp of the POSIX calls; CMake builds
// the one for the platform. Private to the protocol library.
#pragma once

// The only place where the platforms' socket headers differ.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

#include <string>

namespace tvx::example::native {

#ifdef _WIN32
using Handle = SOCKET;
inline constexpr Handle kNone = INVALID_SOCKET;
inline constexpr int kSendFlags = 0;
#else
using Handle = int;
inline constexpr Handle kNone = -1;
// A peer that has gone makes send fail with EPIPE rather than raise SIGPIPE.
inline constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

// Winsock's start, once a process, before the first call that needs it; nothing elsewhere.
void StartSockets();

// The error of the last call that failed on this thread.
int LastError();
bool WouldBlock(int error);
bool Interrupted(int error);
bool IsRefused(int error);
// An error of accept that concerns a client whose connection failed before it was taken, not
// the listener.
bool AbortedBeforeAccept(int error);
// The error in words, for ConnectionError.
std::string ErrorText(int error);

void Close(Handle s);
void SetNonBlocking(Handle s);
// Lets a listener bind its address again while connections of an earlier one linger (POSIX);
// nothing on Windows, where the option means something else (socket_win32.cpp).
void AllowAddressReuse(Handle s);
// Ends both directions of the connection.
void ShutdownBoth(Handle s);
// Waits up to `timeout_ms` until the socket can be read (or written): above 0 when it can
// (or failed), 0 when the time ran out, below 0 on an error.
int Wait(Handle s, bool for_write, int timeout_ms);

}  // namespace tvx::example::native
