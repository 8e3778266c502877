// The example application server: serves the export history and the exports to the
// accounting system over the protocol of docs/protocol.md. Run with --help for its options.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "protocol/errors.h"
#include "server/common/server_log.h"
#include "server/program/admin_verbs.h"
#include "server/program/server_options.h"
#include "server/tls/tls_certificate.h"

namespace {

tvx::example::NetworkServer* running = nullptr;

extern "C" void OnStopSignal(int) {
  if (running != nullptr) running->Stop();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tvx::example;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (IsAdminVerb(arguments)) return RunAdminVerb(arguments);
  ServerOptions options;
  try {
    options = ParseServerOptions(arguments);
  } catch (const tvx::Exception& error) {
    std::fprintf(stderr, "%s\n%s%s%s", error.what(), kServerUsage, kAdminUsage, kTlsUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(kServerUsage, stdout);
    std::fputs(kAdminUsage, stdout);
    std::fputs(kTlsUsage, stdout);
    return 0;
  }
  SetLogQuiet(options.quiet);
  std::signal(SIGPIPE, SIG_IGN);
  try {
    AppServerCore core(options.server);
    NetworkServer server(core, options.network);
    running = &server;
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    LogWarning("serving " + core.DatabasePath().string() + ", exports into " +
               core.ExportFolder().string());
    const std::string fingerprint = server.TlsFingerprint();
    LogWarning(fingerprint.empty() ? std::string("connections without TLS")
                                   : "TLS on every connection, certificate SHA-256 " + fingerprint);
    std::printf("listening on %s:%u\n", options.network.host.c_str(),
                static_cast<unsigned>(server.Port()));
    std::fflush(stdout);
    server.Run();
    running = nullptr;
    LogWarning("stopped");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavolex_app_server: %s\n", error.what());
    return 1;
  }
  return 0;
}
