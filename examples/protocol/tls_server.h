// The server's side of TLS (OpenSSL, native only): its certificate and key, loaded once and
// shared by every connection's thread.
#pragma once

#include <string>

#include "protocol/socket.h"

struct ssl_ctx_st;

namespace tvx::example {

class TlsServerContext {
 public:
  // Loads the certificate (PEM, the server's first, then any intermediate ones) and its
  // private key (PEM). Raises Exception naming the file and OpenSSL's reason when either
  // cannot be read or they do not belong together.
  TlsServerContext(const std::string& certificate_file, const std::string& key_file);
  ~TlsServerContext();
  TlsServerContext(const TlsServerContext&) = delete;
  TlsServerContext& operator=(const TlsServerContext&) = delete;

  // Sets up TLS (1.2 at least) as the server on an accepted socket before the deadline.
  // Raises ConnectionError kRejected when the handshake fails, kTimedOut or kClosed as the
  // socket calls do.
  void Secure(Socket& socket, Clock::time_point deadline) const;

  // The SHA-256 fingerprint of the certificate, as NormaliseFingerprint writes it.
  const std::string& Fingerprint() const { return fingerprint_; }

 private:
  ssl_ctx_st* context_ = nullptr;
  std::string fingerprint_;
};

}  // namespace tvx::example
