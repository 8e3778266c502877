// TLS through OpenSSL on the socket's own descriptor, which stays non-blocking: every call
// that wants to read or write waits for the socket within the caller's deadline and is
// tried again.
#include <sys/socket.h>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <array>
#include <cerrno>
#include <memory>

#include "protocol/errors.h"
#include "protocol/tls.h"
#include "protocol/tls_server.h"
#include "rtl/exceptions.h"

namespace tvx::example {

namespace {

// The server's TLS 1.2 suites, in its order of preference.
constexpr char kTls12Suites[] =
    "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:ECDHE-ECDSA-AES256-GCM-SHA384:"
    "ECDHE-RSA-AES256-GCM-SHA384:ECDHE-ECDSA-CHACHA20-POLY1305:ECDHE-RSA-CHACHA20-POLY1305";

// OpenSSL's reason for the latest failure of this thread, or `fallback` when it gave none.
std::string OpenSslReason(const char* fallback) {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return fallback;
  const char* reason = ERR_reason_error_string(code);
  return reason != nullptr ? reason : fallback;
}

std::string CertificateFingerprint(X509* certificate) {
  std::array<std::uint8_t, 32> digest{};
  unsigned length = 0;
  if (certificate == nullptr ||
      X509_digest(certificate, EVP_sha256(), digest.data(), &length) != 1 || length != 32) {
    return {};
  }
  return FingerprintText(digest);
}

ConnectionError Rejected(const std::string& reason) {
  return ConnectionError(ConnectionFailure::kRejected, reason);
}

ConnectionError Closed() { return ConnectionError(ConnectionFailure::kClosed, kConnectionBroken); }

class OpenSslSession : public TlsSession {
 public:
  explicit OpenSslSession(SSL* ssl) : ssl_(ssl) {}
  ~OpenSslSession() override { SSL_free(ssl_); }

  SSL* Handle() const { return ssl_; }

  // Runs `call` (an SSL function of ssl_) until it succeeds, waiting on the socket when it
  // wants to read or write. Returns its result; raises `failure(reason)` when it fails, or
  // ConnectionError kTimedOut at the deadline.
  template <class Call, class Failure>
  int Drive(Socket& raw, Clock::time_point deadline, Call call, Failure failure) {
    for (;;) {
      ERR_clear_error();
      const int result = call();
      if (result > 0) return result;
      const int error = SSL_get_error(ssl_, result);
      if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
        if (!raw.WaitRaw(error == SSL_ERROR_WANT_WRITE, deadline)) {
          throw ConnectionError(ConnectionFailure::kTimedOut, "сервер не ответил вовремя");
        }
        continue;
      }
      if (error == SSL_ERROR_ZERO_RETURN) throw Closed();
      throw failure(OpenSslReason(kConnectionBroken));
    }
  }

  void Send(Socket& raw, std::span<const std::uint8_t> bytes, Clock::time_point deadline) override {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      std::size_t written = 0;
      Drive(
          raw, deadline,
          [&] { return SSL_write_ex(ssl_, bytes.data() + sent, bytes.size() - sent, &written); },
          [](const std::string&) { return Closed(); });
      sent += written;
    }
  }

  std::size_t Receive(Socket& raw, std::span<std::uint8_t> bytes,
                      Clock::time_point deadline) override {
    std::size_t read = 0;
    Drive(
        raw, deadline, [&] { return SSL_read_ex(ssl_, bytes.data(), bytes.size(), &read); },
        // What TLS said, an alert of the peer say, goes with it.
        [](const std::string& reason) {
          return reason == kConnectionBroken
                     ? Closed()
                     : ConnectionError(ConnectionFailure::kClosed,
                                       std::string(kConnectionBroken) + " (" + reason + ")");
        });
    return read;
  }

  bool Pending() const override { return SSL_has_pending(ssl_) != 0; }

  bool PeerGone(Socket& raw) override {
    if (SSL_pending(ssl_) > 0) return true;
    if (!SSL_has_pending(ssl_) && !raw.WaitRaw(false, Clock::now())) return false;
    // Something arrived: a record to read without waiting shows whether it is data, the
    // peer's close_notify, or a message of TLS itself.
    ERR_clear_error();
    std::uint8_t byte = 0;
    std::size_t read = 0;
    if (SSL_peek_ex(ssl_, &byte, 1, &read) == 1) return true;
    const int error = SSL_get_error(ssl_, 0);
    ERR_clear_error();
    return error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE;
  }

  void Close(Socket&) noexcept override {
    ERR_clear_error();
    SSL_shutdown(ssl_);  // one attempt: the close_notify goes out if the socket takes it
    ERR_clear_error();
  }

 private:
  SSL* ssl_;
};

// OpenSSL's socket BIO writes with write(2), which raises SIGPIPE on a connection that the
// peer has reset; this one sends with MSG_NOSIGNAL, as the plain socket does, so that a lost
// peer is a ConnectionError and not the end of the process.
int SendWithoutSignal(BIO* bio, const char* data, int size) {
  BIO_clear_retry_flags(bio);
  int fd = -1;
  BIO_get_fd(bio, &fd);
  for (;;) {
    const ssize_t n = ::send(fd, data, static_cast<std::size_t>(size), MSG_NOSIGNAL);
    if (n >= 0) return static_cast<int>(n);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) BIO_set_retry_write(bio);
    return -1;
  }
}

BIO* NewSendingBio(int fd) {
  static BIO_METHOD* const method = [] {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK | BIO_TYPE_DESCRIPTOR,
                                 "tavolex socket writer");
    const BIO_METHOD* socket = BIO_s_socket();
    BIO_meth_set_write(m, SendWithoutSignal);
    BIO_meth_set_read(m, BIO_meth_get_read(socket));
    BIO_meth_set_puts(m, BIO_meth_get_puts(socket));
    BIO_meth_set_ctrl(m, BIO_meth_get_ctrl(socket));
    BIO_meth_set_create(m, BIO_meth_get_create(socket));
    BIO_meth_set_destroy(m, BIO_meth_get_destroy(socket));
    return m;
  }();
  BIO* bio = BIO_new(method);
  if (bio != nullptr) BIO_set_fd(bio, fd, BIO_NOCLOSE);
  return bio;
}

struct ContextDeleter {
  void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};

bool IsNumericAddress(const std::string& host) {
  return host.find_first_not_of("0123456789.") == std::string::npos ||
         host.find(':') != std::string::npos;
}

// The reason a handshake failed, in the operator's words.
std::string HandshakeFailure(SSL* ssl, const std::string& reason) {
  const long verify = SSL_get_verify_result(ssl);
  if (verify != X509_V_OK) {
    return std::string("сертификат сервера не прошёл проверку (") +
           X509_verify_cert_error_string(verify) + ")";
  }
  return "не удалось установить соединение TLS (" + reason + ")";
}

}  // namespace

void StartTlsClient(Socket& socket, const std::string& host, const std::string& pin,
                    Clock::time_point deadline) {
  std::string expected;
  try {
    expected = NormaliseFingerprint(pin);
  } catch (const Exception& error) {
    throw Rejected(error.Message());
  }
  const std::unique_ptr<SSL_CTX, ContextDeleter> context(SSL_CTX_new(TLS_client_method()));
  if (!context) throw Rejected("TLS: " + OpenSslReason("no context"));
  SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION);
  if (expected.empty()) {
    SSL_CTX_set_default_verify_paths(context.get());
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
  } else {
    // The pin alone decides: the certificate is compared with it after the handshake.
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_NONE, nullptr);
  }
  auto session = std::make_unique<OpenSslSession>(SSL_new(context.get()));
  SSL* ssl = session->Handle();
  if (ssl == nullptr) throw Rejected("TLS: " + OpenSslReason("no session"));
  // The ClientHello goes out first, while the answer is read from an empty memory buffer:
  // the first bytes of the answer, peeked at on the socket, show whether the server speaks
  // TLS at all before OpenSSL takes any of them.
  const int fd = static_cast<int>(socket.NativeHandle());
  BIO* nothing_yet = BIO_new(BIO_s_mem());
  BIO_set_mem_eof_return(nothing_yet, -1);
  SSL_set_bio(ssl, nothing_yet, NewSendingBio(fd));
  if (expected.empty()) {
    if (IsNumericAddress(host)) {
      X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str());
    } else {
      SSL_set_tlsext_host_name(ssl, host.c_str());
      SSL_set1_host(ssl, host.c_str());
    }
  } else if (!IsNumericAddress(host)) {
    SSL_set_tlsext_host_name(ssl, host.c_str());
  }
  auto handshake_failure = [&](const std::string& reason) {
    return Rejected(HandshakeFailure(ssl, reason));
  };
  int first = 0;
  for (;;) {
    ERR_clear_error();
    first = SSL_connect(ssl);
    if (first > 0 || SSL_get_error(ssl, first) != SSL_ERROR_WANT_WRITE) break;
    if (!socket.WaitRaw(true, deadline)) {
      throw ConnectionError(ConnectionFailure::kTimedOut, "сервер не ответил вовремя");
    }
  }
  if (first > 0 || SSL_get_error(ssl, first) != SSL_ERROR_WANT_READ) {
    throw handshake_failure(OpenSslReason("handshake failed"));
  }
  std::array<std::uint8_t, 3> opening{};
  if (socket.PeekRaw(opening, deadline) < opening.size()) {
    throw ConnectionError(ConnectionFailure::kTimedOut, "сервер не ответил вовремя");
  }
  if (!LooksLikeTlsRecord(opening)) throw PlainAnswerError(socket, deadline);
  SSL_set0_rbio(ssl, BIO_new_socket(fd, BIO_NOCLOSE));
  session->Drive(
      socket, deadline, [&] { return SSL_connect(ssl); }, handshake_failure);
  if (!expected.empty()) {
    X509* certificate = SSL_get0_peer_certificate(ssl);
    const std::string actual = CertificateFingerprint(certificate);
    if (actual != expected) {
      throw Rejected(
          "сертификат сервера не совпадает с заданным отпечатком (SHA-256 "
          "сертификата сервера: " +
          (actual.empty() ? std::string("нет") : actual) + ")");
    }
  }
  socket.UseTls(TlsSessionPtr(session.release()));
}

TlsServerContext::TlsServerContext(const std::string& certificate_file,
                                   const std::string& key_file) {
  std::unique_ptr<SSL_CTX, ContextDeleter> context(SSL_CTX_new(TLS_server_method()));
  if (!context) throw Exception("TLS: " + OpenSslReason("no context"));
  SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION);
  // No session tickets and no resumption on either version: nothing reaches a client after
  // the handshake that it did not ask for, and every connection proves the certificate anew.
  SSL_CTX_set_num_tickets(context.get(), 0);
  SSL_CTX_set_session_cache_mode(context.get(), SSL_SESS_CACHE_OFF);
  SSL_CTX_set_options(context.get(), SSL_OP_NO_TICKET | SSL_OP_NO_RENEGOTIATION |
                                         SSL_OP_IGNORE_UNEXPECTED_EOF |
                                         SSL_OP_CIPHER_SERVER_PREFERENCE);
  // TLS 1.2 with forward secrecy and authenticated encryption only: ECDHE key exchange with
  // AES-GCM or ChaCha20-Poly1305. TLS 1.3 keeps OpenSSL's suites, which are all of that kind.
  if (SSL_CTX_set_cipher_list(context.get(), kTls12Suites) != 1) {
    throw Exception("TLS: " + OpenSslReason("no cipher suites"));
  }
  if (SSL_CTX_use_certificate_chain_file(context.get(), certificate_file.c_str()) != 1) {
    throw Exception("сертификат " + certificate_file +
                    " не прочитан: " + OpenSslReason("unreadable"));
  }
  if (SSL_CTX_use_PrivateKey_file(context.get(), key_file.c_str(), SSL_FILETYPE_PEM) != 1) {
    throw Exception("ключ " + key_file + " не прочитан или не подходит к сертификату " +
                    certificate_file + ": " + OpenSslReason("unreadable"));
  }
  if (SSL_CTX_check_private_key(context.get()) != 1) {
    throw Exception("ключ " + key_file + " не подходит к сертификату " + certificate_file);
  }
  fingerprint_ = CertificateFingerprint(SSL_CTX_get0_certificate(context.get()));
  context_ = context.release();
}

TlsServerContext::~TlsServerContext() { SSL_CTX_free(context_); }

void TlsServerContext::Secure(Socket& socket, Clock::time_point deadline) const {
  auto session = std::make_unique<OpenSslSession>(SSL_new(context_));
  SSL* ssl = session->Handle();
  if (ssl == nullptr) throw Rejected("TLS: " + OpenSslReason("no session"));
  const int fd = static_cast<int>(socket.NativeHandle());
  SSL_set_bio(ssl, BIO_new_socket(fd, BIO_NOCLOSE), NewSendingBio(fd));
  session->Drive(
      socket, deadline, [&] { return SSL_accept(ssl); },
      [](const std::string& reason) { return Rejected("TLS: " + reason); });
  socket.UseTls(TlsSessionPtr(session.release()));
}

}  // namespace tvx::example
