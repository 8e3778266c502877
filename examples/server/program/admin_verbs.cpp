#include "server/program/admin_verbs.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>

#include "rtl/exceptions.h"
#include "server/common/server_log.h"
#include "server/core/app_server_core.h"
#include "server/exports/export_service.h"
#include "server/tls/tls_certificate.h"
#include "server/users/users.h"

namespace tvx::example {

const char kAdminUsage[] =
    "       tavolex_app_server user add NAME --role operator|export|admin [--data DIR] [--empty]\n"
    "       tavolex_app_server user remove NAME [--data DIR]\n"
    "       tavolex_app_server user list [--data DIR]\n"
    "       tavolex_app_server status [--data DIR] [--exports DIR]\n"
    "  user add reads the password from standard input (8 to 1024 bytes; asked for twice on a\n"
    "  terminal); an existing user gets the new password and role. Roles: operator reads the\n"
    "  export history; export also reads staff, vacations and extra pay without the pay columns\n"
    "  and exports; admin reads everything, pay too, and exports. status counts the exports and\n"
    "  names each one whose file is missing (exit status 1 then).\n";

namespace {

struct Command {
  std::string action;
  std::string name;
  std::optional<Role> role;
  ServerSettings settings;
};

Command Parse(const std::vector<std::string>& arguments) {
  Command command;
  std::size_t i = 1;
  if (arguments[0] == "status") {
    command.action = "status";
  } else if (arguments.size() < 2) {
    throw Exception("user: expected add, remove or list");
  } else {
    command.action = arguments[i++];
  }
  if (command.action == "add" || command.action == "remove") {
    if (i >= arguments.size()) throw Exception("user " + command.action + ": expected a name");
    command.name = arguments[i++];
  } else if (command.action != "list" && command.action != "status") {
    throw Exception("user: unknown action " + command.action);
  }
  for (; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw Exception("option " + option + " needs a value");
      return arguments[++i];
    };
    if (option == "--data") {
      command.settings.data_folder = value();
    } else if (option == "--exports" && command.action == "status") {
      command.settings.export_folder = value();
    } else if (option == "--empty") {
      command.settings.sample_data = false;
    } else if (option == "--role" && command.action == "add") {
      command.role = ParseRole(value());
      if (!command.role) throw Exception("option --role: expected operator, export or admin");
    } else {
      throw Exception("unknown option " + option);
    }
  }
  if (command.action == "add" && !command.role) throw Exception("user add: --role is needed");
  return command;
}

std::string ReadLine(bool echo) {
  termios saved{};
  const bool terminal = ::isatty(STDIN_FILENO) != 0 && ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (terminal && !echo) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  std::string line;
  const bool read = static_cast<bool>(std::getline(std::cin, line));
  if (terminal && !echo) {
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputs("\n", stderr);
  }
  if (!read) throw Exception("no password on standard input");
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::string ReadPassword(const std::string& name) {
  if (::isatty(STDIN_FILENO) == 0) return ReadLine(true);
  std::fprintf(stderr, "password for %s: ", name.c_str());
  std::string first = ReadLine(false);
  std::fprintf(stderr, "once more: ");
  if (ReadLine(false) != first) throw Exception("the passwords differ");
  return first;
}

int Status(Database& db, const ServerSettings& settings) {
  const auto folder =
      settings.export_folder.empty() ? settings.data_folder / "exports" : settings.export_folder;
  auto count = [&](const char* sql) {
    Statement statement = db.Prepare(sql);
    statement.Step();
    return statement.Int(0);
  };
  const std::vector<std::string> missing = MissingExportFiles(db, folder);
  std::printf(
      "history rows: %lld, of them exports of this server with a file: %lld, missing: %zu\n",
      static_cast<long long>(count("SELECT COUNT(*) FROM OK_EXPORT_HISTORY")),
      static_cast<long long>(count("SELECT COUNT(*) FROM EXPORT_FILES")), missing.size());
  for (const std::string& line : missing) std::printf("%s\n", line.c_str());
  return missing.empty() ? 0 : 1;
}

}  // namespace

bool IsAdminVerb(const std::vector<std::string>& arguments) {
  return !arguments.empty() &&
         (arguments[0] == "user" || arguments[0] == "status" || arguments[0] == "tls");
}

int RunAdminVerb(const std::vector<std::string>& arguments) {
  if (arguments[0] == "tls") return RunTlsVerb(arguments);
  Command command;
  try {
    command = Parse(arguments);
  } catch (const Exception& error) {
    std::fprintf(stderr, "%s\nusage:\n%s", error.what(), kAdminUsage);
    return 2;
  }
  try {
    SetLogQuiet(true);
    const std::filesystem::path path = PrepareDatabase(command.settings);
    Database db = Database::OpenForWriting(path.string());
    if (command.action == "add") {
      CheckUserName(command.name);
      const std::string password = ReadPassword(command.name);
      SetUser(db, command.name, password, *command.role);
      std::printf("user %s: role %s\n", command.name.c_str(), RoleName(*command.role));
    } else if (command.action == "status") {
      return Status(db, command.settings);
    } else if (command.action == "remove") {
      if (!RemoveUser(db, command.name)) {
        std::fprintf(stderr, "no user %s\n", command.name.c_str());
        return 1;
      }
      std::printf("user %s removed\n", command.name.c_str());
    } else {
      for (const User& user : ListUsers(db)) {
        std::printf("%s\t%s\n", user.name.c_str(), RoleName(user.role));
      }
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavolex_app_server %s: %s\n", command.action.c_str(), error.what());
    return 1;
  }
  return 0;
}

}  // namespace tvx::example
