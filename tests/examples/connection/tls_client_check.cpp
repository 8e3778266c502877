// The Windows client's TLS (Schannel) against the real server: run under Wine by
// tls_under_wine.sh, which starts the native server with a certificate it made, and a second
// one without TLS.
//   tls_client_check --port N --plain-port N --user NAME --password TEXT --pin HEX
// Prints one line for each case and "N passed, N failed"; the exit status is 0 when all pass.
#include <cstdio>
#include <string>
#include <vector>

#include "connection/app_server_client.h"

namespace {

using namespace tvx::example;

struct Arguments {
  std::uint16_t port = 0;
  std::uint16_t plain_port = 0;
  std::string user;
  std::string password;
  std::string pin;
};

struct Case {
  const char* what;
  bool to_plain_server;
  bool tls;
  std::string pin;
  const char* reason;  // empty: connects and is served
};

ClientOptions Options(const Arguments& arguments, const Case& c) {
  ClientOptions options;
  options.port = c.to_plain_server ? arguments.plain_port : arguments.port;
  options.user = arguments.user;
  options.password = arguments.password;
  options.tls = c.tls;
  options.tls_pin = c.pin;
  options.connect_timeout = std::chrono::seconds(20);
  options.call_timeout = std::chrono::seconds(20);
  options.client_name = "TLS check under Wine";
  return options;
}

// Empty when the case went as it should; else what went wrong.
std::string Run(const Arguments& arguments, const Case& c) {
  AppServerClient client(Options(arguments, c));
  try {
    client.Connect();
  } catch (const ConnectionError& error) {
    if (c.reason[0] == '\0') return "refused: " + error.Message();
    if (error.Failure() != ConnectionFailure::kRejected) return "not kRejected: " + error.Message();
    const std::string prefix =
        "Нет связи с сервером приложений (127.0.0.1:" + std::to_string(client.Options().port) +
        "): ";
    if (error.Message().rfind(prefix, 0) != 0 ||
        error.Message().find(c.reason) == std::string::npos) {
      return "unexpected text: " + error.Message();
    }
    std::printf("    %s\n", error.Message().c_str());
    return {};
  }
  if (c.reason[0] != '\0') return "connected";
  // The history, then a reply of several TLS records, then the history again on the same
  // connection.
  const GetRecordsRequest history{"dspQuery", -1, 1, "SELECT * FROM OK_EXPORT_HISTORY",
                                  WireValue::Null()};
  const GetRecordsRequest pay{"dspQuery", -1, 1,
                              "SELECT a.ID, a.PAY_DATE, b.AMOUNT FROM EXTRA_PAY a, EXTRA_PAY b",
                              WireValue::Null()};
  const GetRecordsReply first = client.GetRecords(history);
  const GetRecordsReply large = client.GetRecords(pay);
  const GetRecordsReply again = client.GetRecords(history);
  std::printf("    served: %d history rows, %d extra pay rows in %zu bytes\n", first.records_out,
              large.records_out, large.data.bytes.size());
  if (first.records_out <= 0 || again.records_out != first.records_out) return "history differs";
  if (large.data.bytes.size() <= 3 * 16 * 1024) return "the large reply is too small";
  if (!client.Usable()) return "the connection is not usable after the requests";
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const std::string value = argv[i + 1];
    if (option == "--port") {
      arguments.port = static_cast<std::uint16_t>(std::stoi(value));
    } else if (option == "--plain-port") {
      arguments.plain_port = static_cast<std::uint16_t>(std::stoi(value));
    } else if (option == "--user") {
      arguments.user = value;
    } else if (option == "--password") {
      arguments.password = value;
    } else if (option == "--pin") {
      arguments.pin = value;
    } else {
      std::fprintf(stderr, "unknown option %s\n", option.c_str());
      return 2;
    }
  }
  std::string other_pin = arguments.pin;
  if (!other_pin.empty()) other_pin.back() = other_pin.back() == '0' ? '1' : '0';
  const Case cases[] = {
      {"Schannel handshake pinned to the certificate, then requests", false, true, arguments.pin,
       ""},
      {"another certificate's pin is refused", false, true, other_pin,
       "сертификат сервера не совпадает с заданным отпечатком"},
      {"no pin: a self-signed certificate that Windows does not trust is refused", false, true, "",
       "сертификат сервера"},
      {"a plain client at the TLS server is refused", false, false, "",
       "принимает только соединения TLS"},
      {"Schannel at a plain server is refused", true, true, arguments.pin,
       "сервер отвечает без шифрования"},
  };
  int passed = 0;
  int failed = 0;
  for (const Case& c : cases) {
    std::string problem;
    try {
      problem = Run(arguments, c);
    } catch (const std::exception& error) {
      problem = std::string("failed: ") + error.what();
    }
    std::printf("%s: %s%s%s\n", problem.empty() ? "PASS" : "FAIL", c.what,
                problem.empty() ? "" : " -- ", problem.c_str());
    std::fflush(stdout);
    ++(problem.empty() ? passed : failed);
  }
  std::printf("tls_client_check: %d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
