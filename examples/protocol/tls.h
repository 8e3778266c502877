// TLS over a connected Socket: the client side on Windows through Schannel (SSPI, secur32),
// natively through OpenSSL; the server side (tls_server.h) through OpenSSL. Once a Socket has
// a TlsSession, its SendAll, ReceiveExact, WaitReadable and PeerGone go through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "protocol/errors.h"
#include "protocol/socket.h"

namespace tvx::example {

// The encryption of one connection, below the frames and above the TCP bytes, which it
// reaches through the socket's raw calls.
class TlsSession {
 public:
  virtual ~TlsSession() = default;
  // Encrypts and sends every byte before the deadline. Raises ConnectionError kTimedOut or
  // kClosed.
  virtual void Send(Socket& raw, std::span<const std::uint8_t> bytes,
                    Clock::time_point deadline) = 0;
  // Receives at least one byte (at most bytes.size()) before the deadline and returns how
  // many. Raises ConnectionError kTimedOut, or kClosed when the peer closes or the record
  // does not decrypt.
  virtual std::size_t Receive(Socket& raw, std::span<std::uint8_t> bytes,
                              Clock::time_point deadline) = 0;
  // Bytes already taken from the socket that Receive will deliver (or decrypt) without
  // waiting for the network.
  virtual bool Pending() const = 0;
  // As Socket::PeerGone: true when the peer has closed, or sent data nobody asked for.
  virtual bool PeerGone(Socket& raw) = 0;
  // Tells the peer the connection ends (close_notify), if that can be done at once.
  virtual void Close(Socket& raw) noexcept = 0;
};

// A SHA-256 fingerprint in the form the client compares: 64 lower-case hex digits. Accepts
// upper and lower case, with or without colons or spaces between the bytes ("AB:CD:..."); an
// empty text stays empty. Raises Exception for anything else.
std::string NormaliseFingerprint(const std::string& text);
// The fingerprint of a DER-encoded certificate, as NormaliseFingerprint writes it.
std::string FingerprintText(std::span<const std::uint8_t, 32> sha256);

// True when three bytes can open a TLS record (content type 20 to 23, version 3.x). A frame
// of this protocol opens so only when its payload is 788 to 791 bytes long (its first bytes
// are that length, little-endian): the short error replies and a Hello with names and a
// password of usual length never do.
bool LooksLikeTlsRecord(std::span<const std::uint8_t> first_bytes);

// What a client reports when the server answers its ClientHello with bytes that are no TLS:
// a server that refused the connection before TLS (all places taken) says why in a plain
// Error frame, which is read and reported; any other answer is that of a server without TLS.
// Returns ConnectionError kRejected.
ConnectionError PlainAnswerError(Socket& socket, Clock::time_point deadline);

// Sets up TLS (1.2 at least) as the client on a connected socket, before the deadline. With
// an empty `pin` the server's certificate must chain to a root that the system trusts and
// name `host`; with a pin it must be the very certificate of that SHA-256 fingerprint.
// Raises ConnectionError kRejected when the pin is malformed, the certificate is refused,
// the server does not speak TLS, or the handshake fails; kTimedOut or kClosed as the socket
// calls do.
void StartTlsClient(Socket& socket, const std::string& host, const std::string& pin,
                    Clock::time_point deadline);

}  // namespace tvx::example
