#include "server/core/app_server_core.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include "rtl/exceptions.h"
#include "server/common/private_folder.h"
#include "server/common/server_log.h"
#include "server/exports/export_methods.h"
#include "server/store/sample_data.h"
#include "server/store/schema.h"
#include "server/store/sql_time.h"

namespace tvx::example {

namespace {

// Builds a new database under a temporary name and renames it into place once complete, so
// that a start interrupted half-way leaves no half-filled database behind.
void CreateDatabase(const std::filesystem::path& path, bool sample_data) {
  std::filesystem::path building = path;
  building += ".new";
  std::filesystem::remove(building);
  // Created for its owner alone; SQLite gives its journal and WAL files the same mode.
  const int fd = ::open(building.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) throw Exception("не удалось создать базу данных " + building.string());
  ::close(fd);
  {
    Database db = Database::OpenForWriting(building.string());
    db.Execute("PRAGMA journal_mode=DELETE");
    CreateSchema(db);
    if (sample_data) FillSampleData(db, NowToTheSecond());
  }
  std::filesystem::rename(building, path);
}

}  // namespace

std::filesystem::path PrepareDatabase(const ServerSettings& settings) {
  CreatePrivateFolder(settings.data_folder);
  std::filesystem::path path = settings.data_folder / kDatabaseFileName;
  if (!std::filesystem::exists(path)) {
    LogLine("creating database " + path.string() +
            (settings.sample_data ? " with sample data" : ""));
    CreateDatabase(path, settings.sample_data);
  }
  // A database of an earlier server may be readable by all: from now on it is not.
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  {
    Database db = Database::OpenForWriting(path.string());
    UpgradeSchema(db);
    CheckSchema(db);
  }
  return path;
}

AppServerCore::AppServerCore(ServerSettings settings) : settings_(std::move(settings)) {
  const auto& folder = settings_.data_folder;
  CreatePrivateFolder(folder);
  const std::filesystem::path lock_path = folder / "server.lock";
  lock_fd_ = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd_ < 0 || ::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
    if (lock_fd_ >= 0) ::close(lock_fd_);
    throw Exception("папка данных " + folder.string() + " занята другим сервером приложений");
  }
  try {
    database_path_ = PrepareDatabase(settings_);
    users_ = std::make_unique<UserStore>(database_path_.string());
    gate_ = std::make_unique<ExportGate>(settings_.exports_per_minute);
    replies_ = std::make_unique<ReplyBudget>(settings_.reply_memory_bytes);
    sqlite3_hard_heap_limit64(settings_.heap_limit_bytes);
    const auto export_folder =
        settings_.export_folder.empty() ? folder / "exports" : settings_.export_folder;
    exports_ =
        std::make_unique<ExportService>(database_path_.string(), export_folder, settings_.pause);
    for (const std::string& line : exports_->Recover()) LogWarning(line);
  } catch (...) {
    exports_.reset();
    ::close(lock_fd_);
    throw;
  }
}

AppServerCore::~AppServerCore() {
  exports_.reset();
  ::close(lock_fd_);
}

HelloReply AppServerCore::Greeting() const {
  HelloReply reply;
  reply.server_name = kServerName;
  reply.methods = MethodNames();
  return reply;
}

std::optional<User> AppServerCore::Authenticate(std::string_view name, std::string_view password) {
  return users_->Authenticate(name, password);
}

QueryConnection AppServerCore::OpenQueryConnection(Role role) {
  return tvx::example::OpenQueryConnection(database_path_.string(), role, settings_.query_limits,
                                           replies_.get());
}

GetRecordsReply AppServerCore::GetRecords(QueryConnection& queries,
                                          const GetRecordsRequest& request) const {
  return RunProviderQuery(queries, request, settings_.query_limits);
}

InvokeReply AppServerCore::Invoke(const User& user, const InvokeRequest& request,
                                  ExportOutcome* outcome) {
  return CallMethod(*exports_, *gate_, user, request, outcome);
}

}  // namespace tvx::example
