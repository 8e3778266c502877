// TLS on the server's connections: requests through it, each way of failing to set it up
// reported as one clear error, handshakes that never finish losing their place at the
// greeting's deadline, the rule that only a server with a certificate listens beyond
// loopback, and the admin verb that makes the certificate.
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "connection/app_server_client.h"
#include "examples/server/server_fixture.h"
#include "protocol/tls.h"
#include "server/tls/tls_certificate.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;

const GetRecordsRequest kHistory{"dspQuery", -1, 1, "SELECT * FROM OK_EXPORT_HISTORY",
                                 WireValue::Null()};
// A reply of several TLS records (a record carries at most 16 KiB).
const GetRecordsRequest kExtraPay{"dspQuery", -1, 1,
                                  "SELECT a.ID, a.PAY_DATE, b.AMOUNT FROM EXTRA_PAY a, EXTRA_PAY b",
                                  WireValue::Null()};

MadeCertificate MakeCertificate(const ScratchFolder& folder, const std::string& name = "tls") {
  return MakeSelfSignedCertificate(folder.Path() / name, "localhost");
}

std::vector<std::string> TlsArguments(const MadeCertificate& made,
                                      std::vector<std::string> more = {}) {
  more.insert(more.end(),
              {"--tls-cert", made.certificate.string(), "--tls-key", made.key.string()});
  return more;
}

ClientOptions Options(std::uint16_t port, bool tls, const std::string& pin) {
  ClientOptions options;
  options.port = port;
  options.user = kTestUser;
  options.password = kTestPassword;
  options.tls = tls;
  options.tls_pin = pin;
  options.connect_timeout = std::chrono::seconds(10);
  options.call_timeout = std::chrono::seconds(10);
  return options;
}

// The fingerprint as people copy it from other tools: capitals, a colon between bytes.
std::string WithColonsInCapitals(const std::string& hex) {
  std::string text;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    if (i > 0) text += ':';
    text += static_cast<char>(std::toupper(static_cast<unsigned char>(hex[i])));
    text += static_cast<char>(std::toupper(static_cast<unsigned char>(hex[i + 1])));
  }
  return text;
}

std::string WithLastDigitChanged(std::string hex) {
  hex.back() = hex.back() == '0' ? '1' : '0';
  return hex;
}

std::string Prefix(std::uint16_t port) {
  return "Нет связи с сервером приложений (127.0.0.1:" + std::to_string(port) + "): ";
}

TEST(TlsServer, ServesRequestsOverTls) {
  ScratchFolder folder;
  const MadeCertificate made = MakeCertificate(folder);
  ServerProcess server(folder.Path() / "data", TlsArguments(made));
  EXPECT_TRUE(
      server.WaitForLog("TLS on every connection, certificate SHA-256 " + made.fingerprint));

  AppServerClient client(Options(server.Port(), true, made.fingerprint));
  client.Connect();
  EXPECT_GT(client.GetRecords(kHistory).records_out, 0);
  const GetRecordsReply pay = client.GetRecords(kExtraPay);
  EXPECT_GT(pay.records_out, 0);
  ASSERT_GT(pay.data.bytes.size(), 3u * 16 * 1024) << "the reply should span several records";
  // Nothing arrives unasked on an idle TLS connection (no session tickets): it stays usable.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(client.Usable());
  EXPECT_EQ(client.GetRecords(kHistory).records_out, client.GetRecords(kHistory).records_out);

  // The server's close ends the TLS connection as it does a plain one.
  EXPECT_EQ(server.Stop(), 0);
  EXPECT_TRUE(Eventually([&] { return !client.Usable(); }));
}

TEST(TlsServer, EachFailedSetUpIsOneClearError) {
  ScratchFolder folder;
  const MadeCertificate made = MakeCertificate(folder);
  ServerProcess secure(folder.Path() / "secure", TlsArguments(made));
  ServerProcess plain(folder.Path() / "plain");
  const std::string pin = made.fingerprint;
  struct Case {
    const char* what;
    bool to_secure_server;
    bool tls;
    std::string pin;
    const char* reason;  // empty: connects
  };
  const Case cases[] = {
      {"pinned, the pin in capitals with colons", true, true, WithColonsInCapitals(pin), ""},
      {"a plain client at a TLS server", true, false, "", "принимает только соединения TLS"},
      {"a TLS client at a plain server", false, true, pin,
       "сервер отвечает без шифрования: TLS на нём не включён"},
      {"another certificate's pin", true, true, WithLastDigitChanged(pin),
       "сертификат сервера не совпадает с заданным отпечатком"},
      {"no pin: a self-signed certificate that the system does not trust", true, true, "",
       "сертификат сервера не прошёл проверку"},
      {"a pin that is no SHA-256", true, true, "12:34", "64 шестнадцатеричные цифры"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::uint16_t port = c.to_secure_server ? secure.Port() : plain.Port();
    AppServerClient client(Options(port, c.tls, c.pin));
    if (std::string(c.reason).empty()) {
      client.Connect();
      EXPECT_GT(client.GetRecords(kHistory).records_out, 0);
      continue;
    }
    try {
      client.Connect();
      ADD_FAILURE() << "connected";
    } catch (const ConnectionError& error) {
      EXPECT_EQ(error.Failure(), ConnectionFailure::kRejected);
      EXPECT_EQ(error.Message().rfind(Prefix(port), 0), 0u) << error.Message();
      EXPECT_NE(error.Message().find(c.reason), std::string::npos) << error.Message();
    }
    EXPECT_FALSE(client.Usable());
  }
  EXPECT_TRUE(secure.WaitForLog("spoke without TLS, closing"));
  // Both servers go on serving.
  for (const auto& [port, tls] : {std::pair{secure.Port(), true}, std::pair{plain.Port(), false}}) {
    AppServerClient client(Options(port, tls, tls ? pin : ""));
    client.Connect();
    EXPECT_GT(client.GetRecords(kHistory).records_out, 0);
  }
}

TEST(TlsServer, HandshakesThatNeverFinishLoseTheirPlaceAtTheGreetingDeadline) {
  ScratchFolder folder;
  const MadeCertificate made = MakeCertificate(folder);
  ServerProcess server(folder.Path() / "data",
                       TlsArguments(made, {"--greeting-timeout", "2", "--max-per-address", "2"}));
  // The head of a ClientHello record, and no more.
  const std::vector<std::uint8_t> begun_handshake = {0x16, 0x03, 0x01, 0x00, 0xc8};
  SilentConnection says_nothing(server.Port(), "127.0.0.3");
  SilentConnection stops_in_handshake(server.Port(), "127.0.0.3");
  stops_in_handshake.Say(begun_handshake);
  ASSERT_TRUE(server.WaitForLog("#2 127.0.0.3:"));
  // Both count against their address, handshake or not.
  SilentConnection one_too_many(server.Port(), "127.0.0.3");
  one_too_many.Say(begun_handshake);
  EXPECT_TRUE(server.WaitForLog("refused 127.0.0.3:"));
  // A connection that completed its handshake but never greets.
  Socket handshake_only = Socket::Connect("127.0.0.1", server.Port(), std::chrono::seconds(10));
  StartTlsClient(handshake_only, "127.0.0.1", made.fingerprint,
                 Clock::now() + std::chrono::seconds(10));

  // A proper client is served meanwhile.
  AppServerClient client(Options(server.Port(), true, made.fingerprint));
  client.Connect();
  EXPECT_GT(client.GetRecords(kHistory).records_out, 0);

  EXPECT_TRUE(says_nothing.ClosedByServer());
  EXPECT_TRUE(stops_in_handshake.ClosedByServer());
  EXPECT_TRUE(one_too_many.ClosedByServer());
  std::array<std::uint8_t, 1> byte{};
  try {
    handshake_only.ReceiveExact(byte, Clock::now() + std::chrono::seconds(10));
    ADD_FAILURE() << "the server sent data to a connection that never greeted";
  } catch (const ConnectionError& error) {
    EXPECT_EQ(error.Failure(), ConnectionFailure::kClosed) << error.Message();
  }
  EXPECT_TRUE(server.WaitForLog("did not greet in time, closing"));
  // Their places are free again: the address is not refused any more.
  SilentConnection later(server.Port(), "127.0.0.3");
  later.Say(begun_handshake);
  SilentConnection later_still(server.Port(), "127.0.0.3");
  later_still.Say(begun_handshake);
  EXPECT_TRUE(later.ClosedByServer());
  EXPECT_TRUE(later_still.ClosedByServer());
  const std::string log = server.Log();
  std::size_t refusals = 0;
  for (auto at = log.find("refused 127.0.0.3:"); at != std::string::npos;
       at = log.find("refused 127.0.0.3:", at + 1)) {
    ++refusals;
  }
  EXPECT_EQ(refusals, 1u) << log;
}

TEST(TlsServer, ABusyServerSaysSoToATlsClient) {
  ScratchFolder folder;
  const MadeCertificate made = MakeCertificate(folder);
  ServerProcess server(folder.Path() / "data", TlsArguments(made, {"--max-per-address", "1"}));
  SilentConnection holder(server.Port(), "127.0.0.1");
  ASSERT_TRUE(server.WaitForLog("#1 127.0.0.1:"));
  AppServerClient client(Options(server.Port(), true, made.fingerprint));
  try {
    client.Connect();
    ADD_FAILURE() << "connected";
  } catch (const ConnectionError& error) {
    EXPECT_EQ(error.Failure(), ConnectionFailure::kRejected);
    EXPECT_NE(error.Message().find("Сервер приложений занят"), std::string::npos)
        << error.Message();
  }
}

TEST(TlsServer, ListensBeyondLoopbackOnlyWithACertificate) {
  ScratchFolder folder;
  try {
    ServerProcess plain(folder.Path() / "plain", {"--host", "0.0.0.0"});
    ADD_FAILURE() << "a plain server listens on every address";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("доступен из сети"), std::string::npos)
        << error.what();
  }
  const MadeCertificate made = MakeCertificate(folder);
  // Every address of the machine; the test reaches it through loopback alone.
  ServerProcess secure(folder.Path() / "secure", TlsArguments(made, {"--host", "0.0.0.0"}));
  AppServerClient client(Options(secure.Port(), true, made.fingerprint));
  client.Connect();
  EXPECT_GT(client.GetRecords(kHistory).records_out, 0);
}

TEST(TlsServer, RefusesToStartWithoutAUsableCertificate) {
  ScratchFolder folder;
  const MadeCertificate made = MakeCertificate(folder, "one");
  const MadeCertificate other = MakeCertificate(folder, "other");
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    const char* reason;
  };
  const Case cases[] = {
      {"a certificate without its key",
       {"--tls-cert", made.certificate.string()},
       "--tls-cert and --tls-key go together"},
      {"the key of another certificate",
       {"--tls-cert", made.certificate.string(), "--tls-key", other.key.string()},
       "не подходит к сертификату"},
      {"no such certificate file",
       {"--tls-cert", (folder.Path() / "missing.crt").string(), "--tls-key", made.key.string()},
       "не прочитан"},
      {"a key file that holds a certificate",
       {"--tls-cert", made.certificate.string(), "--tls-key", made.certificate.string()},
       "не прочитан"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      ServerProcess server(folder.Path() / ("data" + std::to_string(n++)), c.arguments);
      ADD_FAILURE() << "started";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
    }
  }
}

// Runs the server program's admin verb; its standard output and exit status.
std::pair<std::string, int> RunVerb(const std::string& arguments) {
  const std::string command = std::string(TVX_APP_SERVER_PATH) + " " + arguments + " 2>&1";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {"", -1};
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  const int status = ::pclose(pipe);
  return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(TlsCertificate, MakeCertVerbWritesAPrivateKeyAndPrintsTheFingerprint) {
  ScratchFolder folder;
  const auto out = folder.Path() / "certs";
  const auto [output, status] =
      RunVerb("tls make-cert --out " + out.string() + " --name localhost");
  ASSERT_EQ(status, 0) << output;
  const auto at = output.find("SHA-256 fingerprint: ");
  ASSERT_NE(at, std::string::npos) << output;
  const std::string fingerprint = output.substr(at + 21, 64);
  EXPECT_EQ(NormaliseFingerprint(fingerprint), fingerprint);

  struct stat key {};
  ASSERT_EQ(::stat((out / "server.key").c_str(), &key), 0);
  EXPECT_EQ(key.st_mode & 0777, 0600u);
  struct stat folder_mode {};
  ASSERT_EQ(::stat(out.c_str(), &folder_mode), 0);
  EXPECT_EQ(folder_mode.st_mode & 0077, 0u);

  // The server serves that certificate, and a client pinned to the printed fingerprint gets in.
  ServerProcess server(folder.Path() / "data", {"--tls-cert", (out / "server.crt").string(),
                                                "--tls-key", (out / "server.key").string()});
  EXPECT_TRUE(server.WaitForLog("certificate SHA-256 " + fingerprint));
  AppServerClient client(Options(server.Port(), true, fingerprint));
  client.Connect();
  EXPECT_GT(client.GetRecords(kHistory).records_out, 0);

  // A second run keeps the key it would overwrite.
  const std::string key_before = ReadFile(out / "server.key");
  const auto [again, again_status] = RunVerb("tls make-cert --out " + out.string());
  EXPECT_EQ(again_status, 1) << again;
  EXPECT_NE(again.find("exists already"), std::string::npos) << again;
  EXPECT_EQ(ReadFile(out / "server.key"), key_before);

  for (const char* wrong : {"tls", "tls make-cert", "tls make-cert --out", "tls sign --out x"}) {
    SCOPED_TRACE(wrong);
    EXPECT_EQ(RunVerb(wrong).second, 2);
  }
}

}  // namespace
