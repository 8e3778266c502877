// What a TLS client can get from the server beyond the handshake it needs: suites without
// forward secrecy or without authenticated encryption are refused on TLS 1.2, TLS 1.3 is
// served, and neither version hands out a session ticket or resumes a session.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "examples/server/server_fixture.h"
#include "protocol/frame.h"
#include "server/tls/tls_certificate.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;

struct Handshake {
  bool done = false;
  std::string suite;
  bool ticket = false;   // the server issued one
  bool resumed = false;  // the server took the session offered
  SSL_SESSION* session = nullptr;
};

// Connects with OpenSSL at one version and with the given suites, greets (so that whatever the
// server sends after the handshake has arrived), and reports what it got.
Handshake Connect(std::uint16_t port, int version, const char* suites,
                  SSL_SESSION* offered = nullptr) {
  Handshake result;
  const std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_client_method()),
                                                                  SSL_CTX_free);
  SSL_CTX_set_min_proto_version(context.get(), version);
  SSL_CTX_set_max_proto_version(context.get(), version);
  if (version == TLS1_2_VERSION) SSL_CTX_set_cipher_list(context.get(), suites);
  SSL_CTX_set_verify(context.get(), SSL_VERIFY_NONE, nullptr);
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(port);
  ::inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
    ::close(fd);
    return result;
  }
  SSL* ssl = SSL_new(context.get());
  SSL_set_fd(ssl, fd);
  if (offered != nullptr) SSL_set_session(ssl, offered);
  if (SSL_connect(ssl) == 1) {
    result.done = true;
    result.suite = SSL_get_cipher_name(ssl);
    result.resumed = SSL_session_reused(ssl) != 0;
    const std::vector<std::uint8_t> hello = EncodeFrame(FrameType::kHello, Encode(TestHello()));
    SSL_write(ssl, hello.data(), static_cast<int>(hello.size()));
    std::uint8_t reply[256];
    SSL_read(ssl, reply, sizeof reply);
    result.session = SSL_get1_session(ssl);
    result.ticket = result.session != nullptr && SSL_SESSION_has_ticket(result.session) != 0;
    SSL_shutdown(ssl);
  }
  ERR_clear_error();
  SSL_free(ssl);
  ::close(fd);
  return result;
}

TEST(TlsServer, OnlyForwardSecretAeadSuitesAndNoTicketsOnEitherVersion) {
  ScratchFolder folder;
  const MadeCertificate made = MakeSelfSignedCertificate(folder.Path() / "tls", "localhost");
  ServerProcess server(folder.Path() / "data",
                       {"--tls-cert", made.certificate.string(), "--tls-key", made.key.string()});
  struct Case {
    int version;
    const char* suites;
    bool served;
  };
  const Case cases[] = {
      {TLS1_2_VERSION, "AES128-SHA", false},
      {TLS1_2_VERSION, "AES256-SHA256", false},
      {TLS1_2_VERSION, "AES128-GCM-SHA256", false},  // AEAD, but no forward secrecy
      {TLS1_2_VERSION, "DHE-RSA-AES128-GCM-SHA256", false},
      {TLS1_2_VERSION, "ECDHE-RSA-AES128-SHA", false},  // forward secret, but CBC
      {TLS1_2_VERSION, "ECDHE-RSA-AES256-SHA384", false},
      {TLS1_2_VERSION, "ECDHE-RSA-AES128-GCM-SHA256", true},
      {TLS1_2_VERSION, "ECDHE-RSA-AES256-GCM-SHA384", true},
      {TLS1_2_VERSION, "ECDHE-RSA-CHACHA20-POLY1305", true},
      {TLS1_2_VERSION, "ALL:@SECLEVEL=0", true},  // the server picks one of its own
      {TLS1_3_VERSION, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.version == TLS1_3_VERSION ? "TLS 1.3 " : "TLS 1.2 ") + c.suites);
    Handshake first = Connect(server.Port(), c.version, c.suites);
    EXPECT_EQ(first.done, c.served);
    if (!first.done) continue;
    EXPECT_TRUE(first.suite.find("GCM") != std::string::npos ||
                first.suite.find("CHACHA20") != std::string::npos)
        << first.suite;
    EXPECT_FALSE(first.ticket);
    // The session offered again is not taken: every connection proves the certificate anew.
    const Handshake again = Connect(server.Port(), c.version, c.suites, first.session);
    EXPECT_TRUE(again.done);
    EXPECT_FALSE(again.resumed);
    EXPECT_FALSE(again.ticket);
    SSL_SESSION_free(first.session);
    SSL_SESSION_free(again.session);
  }
}

}  // namespace
