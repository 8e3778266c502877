#include "server/program/server_options.h"

#include <charconv>

#include "rtl/exceptions.h"

namespace tvx::example {

const char kServerUsage[] =
    "usage: tavolex_app_server [options]\n"
    "  --data DIR             data folder: database tavolex.db, lock file (default ./data)\n"
    "  --exports DIR          folder of export files (default DATA/exports)\n"
    "  --host ADDRESS         address to listen on (default 127.0.0.1); without TLS only\n"
    "                         addresses of this machine (127.0.0.0/8, ::1, localhost), any\n"
    "                         address (0.0.0.0, ::, a name) with --tls-cert and --tls-key\n"
    "  --port N               TCP port (default 2110; 0 picks a free one)\n"
    "  --tls-cert FILE        certificate (PEM, the server's first, then any intermediate\n"
    "                         ones): every connection speaks TLS 1.2 or later, and one\n"
    "                         that does not is refused (tls make-cert makes one)\n"
    "  --tls-key FILE         the certificate's private key (PEM); given with --tls-cert\n"
    "  --empty                create a missing database without the sample data\n"
    "  --max-clients N        connections served at once (default 256); when all are taken,\n"
    "                         a new one replaces the oldest that has not greeted yet\n"
    "  --max-per-address N    connections served at once from one address (default 32)\n"
    "  --max-per-user N       connections of one user at once (default 8)\n"
    "  --greeting-timeout SECS  a new connection must have greeted within this, its TLS\n"
    "                         handshake included (default 5)\n"
    "  --login-delay MS       after a failed login, the next guess from its address or for\n"
    "                         its user name is refused unchecked for this long, twice as\n"
    "                         long after each further failure, up to 30 s (default 1000)\n"
    "  --login-failures-per-minute N  failed logins checked a minute, all addresses\n"
    "                         together; beyond, only addresses that logged in before may\n"
    "                         try (default 60)\n"
    "  --idle-timeout SECS    a connection may wait this long between requests (default 600)\n"
    "  --io-timeout SECS      one frame may take this long to arrive or leave (default 30)\n"
    "  --query-timeout SECS   a provider query may run this long (default 10)\n"
    "  --heap-limit MB        memory of SQLite for all queries and exports together\n"
    "                         (default 256); each query may hold values of up to 1 MiB and\n"
    "                         a page cache of 2 MiB, and has SQLite's other limits set low;\n"
    "                         its sorting and grouping stay within this memory\n"
    "  --max-reply-rows N     rows of one query's reply (default 100000)\n"
    "  --max-reply-mb MB      size of one query's reply packet (default 16)\n"
    "  --reply-memory MB      memory of the replies being built or sent, all connections\n"
    "                         together (default 64); a query beyond it is refused as busy\n"
    "  --exports-per-minute N a user's exports a minute (default 10; 0: no limit); an\n"
    "                         export while another runs is refused at once, not queued\n"
    "  --quiet                log warnings only, not every request\n"
    "  --pause-export STAGE:MS  test hook: every export waits MS milliseconds at STAGE\n"
    "                         (after-file, before-commit, after-commit, after-rename)\n"
    "On start the server prints \"listening on ADDRESS:PORT\" on standard output; it logs to\n"
    "standard error and stops on SIGINT or SIGTERM.\n";

namespace {

long Number(const std::string& option, const std::string& text, long low, long high) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    throw Exception("option " + option + ": expected a number from " + std::to_string(low) +
                    " to " + std::to_string(high) + ", got \"" + text + "\"");
  }
  return value;
}

}  // namespace

ServerOptions ParseServerOptions(const std::vector<std::string>& arguments) {
  ServerOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw Exception("option " + option + " needs a value");
      return arguments[++i];
    };
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--data") {
      options.server.data_folder = value();
    } else if (option == "--exports") {
      options.server.export_folder = value();
    } else if (option == "--host") {
      options.network.host = value();
    } else if (option == "--tls-cert") {
      options.network.tls_certificate = value();
    } else if (option == "--tls-key") {
      options.network.tls_key = value();
    } else if (option == "--port") {
      options.network.port = static_cast<std::uint16_t>(Number(option, value(), 0, 65535));
    } else if (option == "--empty") {
      options.server.sample_data = false;
    } else if (option == "--max-clients") {
      options.network.max_clients = static_cast<std::size_t>(Number(option, value(), 1, 10000));
    } else if (option == "--max-per-address") {
      options.network.max_per_address = static_cast<std::size_t>(Number(option, value(), 1, 10000));
    } else if (option == "--greeting-timeout") {
      options.network.greeting_timeout = std::chrono::seconds(Number(option, value(), 1, 600));
    } else if (option == "--login-delay") {
      options.network.login.first_delay =
          std::chrono::milliseconds(Number(option, value(), 1, 30000));
    } else if (option == "--login-failures-per-minute") {
      options.network.login.failures_per_minute =
          static_cast<int>(Number(option, value(), 1, 1000000));
    } else if (option == "--max-per-user") {
      options.network.max_per_user = static_cast<std::size_t>(Number(option, value(), 1, 10000));
    } else if (option == "--max-reply-rows") {
      options.server.query_limits.reply_rows =
          static_cast<std::uint64_t>(Number(option, value(), 1, 100000000));
    } else if (option == "--max-reply-mb") {
      options.server.query_limits.packet_bytes =
          static_cast<std::uint64_t>(Number(option, value(), 1, 63)) << 20;
    } else if (option == "--reply-memory") {
      options.server.reply_memory_bytes =
          static_cast<std::uint64_t>(Number(option, value(), 1, 1 << 20)) << 20;
    } else if (option == "--idle-timeout") {
      options.network.idle_timeout = std::chrono::seconds(Number(option, value(), 1, 86400));
    } else if (option == "--io-timeout") {
      options.network.io_timeout = std::chrono::seconds(Number(option, value(), 1, 3600));
    } else if (option == "--query-timeout") {
      options.server.query_limits.time = std::chrono::seconds(Number(option, value(), 1, 3600));
    } else if (option == "--heap-limit") {
      options.server.heap_limit_bytes = Number(option, value(), 16, 1 << 20) << 20;
    } else if (option == "--exports-per-minute") {
      options.server.exports_per_minute = static_cast<int>(Number(option, value(), 0, 1000000));
    } else if (option == "--quiet") {
      options.quiet = true;
    } else if (option == "--pause-export") {
      const std::string& text = value();
      const auto colon = text.find(':');
      const std::string stage = text.substr(0, colon);
      const std::pair<const char*, ExportPause::Stage> stages[] = {
          {"after-file", ExportPause::Stage::kAfterFile},
          {"before-commit", ExportPause::Stage::kBeforeCommit},
          {"after-commit", ExportPause::Stage::kAfterCommit},
          {"after-rename", ExportPause::Stage::kAfterRename}};
      options.server.pause.stage = ExportPause::Stage::kNone;
      for (const auto& [name, named_stage] : stages) {
        if (stage == name) options.server.pause.stage = named_stage;
      }
      if (colon == std::string::npos || options.server.pause.stage == ExportPause::Stage::kNone) {
        throw Exception(
            "option --pause-export: expected after-file, before-commit, after-commit or "
            "after-rename, a colon and milliseconds");
      }
      options.server.pause.duration =
          std::chrono::milliseconds(Number(option, text.substr(colon + 1), 1, 3600000));
    } else {
      throw Exception("unknown option " + option);
    }
  }
  if (options.network.tls_certificate.empty() != options.network.tls_key.empty()) {
    throw Exception("options --tls-cert and --tls-key go together");
  }
  return options;
}

}  // namespace tvx::example
