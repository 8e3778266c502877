#include "host/host_options.h"

#include <charconv>
#include <stdexcept>

#include "protocol/tls.h"
#include "rtl/exceptions.h"

namespace tvx::host {

const char kHostUsage[] =
    "usage: TavolexHost [options] [HOST [PORT]]\n"
    "  --server HOST[:PORT]   the application server (default 127.0.0.1:2110)\n"
    "  --port N               the server's port only\n"
    "  --user NAME            the server's user to log in as (or TAVOLEX_USER)\n"
    "  --password TEXT        its password (or TAVOLEX_PASSWORD); without one the host asks\n"
    "                         for user and password in its login dialog\n"
    "  --tls                  speak TLS to the server, whose certificate Windows checks\n"
    "                         against its trusted roots and the server's name\n"
    "  --tls-pin HEX          TLS, the server's certificate being the one of this SHA-256\n"
    "                         fingerprint (tavolex_app_server tls make-cert prints it)\n"
    "  --plugins DIR          load the modules (*.plu) of DIR instead of the executable's folder\n"
    "  --offer WHAT           what the main form offers the modules: full (default), no-access\n"
    "                         (no IDirectoryAccess), no-directory (GetDirectory gives nothing),\n"
    "                         foreign (a directory without IDirectory)\n"
    "  --script NAME|FILE     play the operator: \"demo\" or a script file (docs/host-example.md)\n"
    "  --shots DIR            where the script's screenshots are awaited (a Windows path)\n"
    "  --pace MS              pause before each scripted action (default 0)\n"
    "  --results FILE         write a JSON line to FILE for each event a test asserts on\n";

namespace {

long Number(const std::string& option, const std::string& text, long low, long high) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    throw std::invalid_argument("option " + option + ": expected a number from " +
                                std::to_string(low) + " to " + std::to_string(high) + ", got \"" +
                                text + "\"");
  }
  return value;
}

DirectoryOffer Offer(const std::string& text) {
  if (text == "full") return DirectoryOffer::kFull;
  if (text == "no-access") return DirectoryOffer::kNoAccess;
  if (text == "no-directory") return DirectoryOffer::kNoDirectory;
  if (text == "foreign") return DirectoryOffer::kForeignObject;
  throw std::invalid_argument(
      "option --offer: expected full, no-access, no-directory or "
      "foreign, got \"" +
      text + "\"");
}

}  // namespace

HostOptions ParseHostOptions(const std::vector<std::string>& arguments,
                             const std::string& environment_user,
                             const std::string* environment_password) {
  HostOptions options;
  options.user = environment_user;
  if (environment_password != nullptr) {
    options.password = *environment_password;
    options.password_given = true;
  }
  int positional = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size())
        throw std::invalid_argument("option " + option + " needs a value");
      return arguments[++i];
    };
    if (option == "--help" || option == "-h" || option == "/?") {
      options.help = true;
    } else if (option == "--server") {
      const std::string& address = value();
      const auto colon = address.rfind(':');
      if (colon == std::string::npos) {
        options.server_host = address;
      } else {
        options.server_host = address.substr(0, colon);
        options.server_port =
            static_cast<std::uint16_t>(Number(option, address.substr(colon + 1), 1, 65535));
      }
      if (options.server_host.empty()) throw std::invalid_argument("option --server: no host");
    } else if (option == "--port") {
      options.server_port = static_cast<std::uint16_t>(Number(option, value(), 1, 65535));
    } else if (option == "--user") {
      options.user = value();
    } else if (option == "--password") {
      options.password = value();
      options.password_given = true;
    } else if (option == "--tls") {
      options.tls = true;
    } else if (option == "--tls-pin") {
      try {
        options.tls_pin = example::NormaliseFingerprint(value());
      } catch (const Exception& error) {
        throw std::invalid_argument("option --tls-pin: " + error.Message());
      }
      if (options.tls_pin.empty()) throw std::invalid_argument("option --tls-pin: no fingerprint");
      options.tls = true;
    } else if (option == "--plugins") {
      options.plugin_folder = value();
    } else if (option == "--offer") {
      options.offer = Offer(value());
    } else if (option == "--script") {
      options.script = value();
    } else if (option == "--shots") {
      options.shots = value();
    } else if (option == "--results") {
      options.results = value();
    } else if (option == "--pace") {
      options.pace_ms = static_cast<int>(Number(option, value(), 0, 60000));
    } else if (!option.empty() && option[0] != '-' && positional < 2) {
      // TavolexHost [HOST [PORT]]
      if (positional++ == 0) {
        options.server_host = option;
      } else {
        options.server_port = static_cast<std::uint16_t>(Number("PORT", option, 1, 65535));
      }
    } else {
      throw std::invalid_argument("unknown option \"" + option + "\"");
    }
  }
  return options;
}

}  // namespace tvx::host
