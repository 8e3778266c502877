// The application server without its network: the database (created with sample data on
// first start), the provider query and the export methods. The network sessions call it from
// several threads at once: queries run on each session's own read-only connection, exports
// take turns on the one writing connection.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "protocol/messages.h"
#include "server/exports/export_gate.h"
#include "server/exports/export_service.h"
#include "server/query/query_provider.h"
#include "server/users/users.h"

namespace tvx::example {

struct ServerSettings {
  std::filesystem::path data_folder = "data";
  std::filesystem::path export_folder;  // empty: data_folder / "exports"
  bool sample_data = true;              // fill a newly created database with sample rows
  QueryLimits query_limits;
  // SQLite's memory, all connections together (SQLite knows no limit per connection; each
  // query connection keeps its page cache small, see QueryLimits).
  std::int64_t heap_limit_bytes = 256ll << 20;
  // The memory of query replies being built or sent, all sessions together (ReplyBudget).
  std::uint64_t reply_memory_bytes = 64ull << 20;
  // A user's exports a minute; 0: no limit.
  int exports_per_minute = 10;
  ExportPause pause;
};

inline constexpr char kDatabaseFileName[] = "tavolex.db";
inline constexpr char kServerName[] = "Tavolex example application server";

class AppServerCore {
 public:
  // Locks the data folder (one server per folder), opens the database or creates it, and
  // recovers the exports that a crash interrupted. Raises Exception with the reason.
  explicit AppServerCore(ServerSettings settings);
  ~AppServerCore();
  AppServerCore(const AppServerCore&) = delete;
  AppServerCore& operator=(const AppServerCore&) = delete;

  HelloReply Greeting() const;
  // The user with this name and password, or nullopt (UserStore::Authenticate).
  std::optional<User> Authenticate(std::string_view name, std::string_view password);
  // A read-only connection for one session's queries, reading what the role may read.
  QueryConnection OpenQueryConnection(Role role);
  // Raise RequestError for a refused request.
  GetRecordsReply GetRecords(QueryConnection& queries, const GetRecordsRequest& request) const;
  InvokeReply Invoke(const User& user, const InvokeRequest& request,
                     ExportOutcome* outcome = nullptr);

  const std::filesystem::path& DatabasePath() const { return database_path_; }
  const std::filesystem::path& ExportFolder() const { return exports_->Folder(); }

 private:
  ServerSettings settings_;
  int lock_fd_ = -1;
  std::filesystem::path database_path_;
  std::unique_ptr<ExportService> exports_;
  std::unique_ptr<UserStore> users_;
  std::unique_ptr<ExportGate> gate_;
  std::unique_ptr<ReplyBudget> replies_;
};

// Opens the database of the data folder, creating it (with the sample rows if the settings
// say so) when it is missing and bringing an earlier server's up to date; returns its path.
// The server does this at its start, the admin verbs before they change users. Raises
// Exception with the reason.
std::filesystem::path PrepareDatabase(const ServerSettings& settings);

}  // namespace tvx::example
