#include "server/exports/export_service.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "server/common/private_folder.h"
#include "server/common/request_error.h"
#include "server/common/server_log.h"
#include "server/exports/export_file.h"
#include "server/store/sql_time.h"

namespace tvx::example {

namespace {

constexpr char kTempPrefix[] = ".export-";
constexpr char kTempSuffix[] = ".xml.tmp";

std::string TempFileName(std::int64_t id) { return kTempPrefix + std::to_string(id) + kTempSuffix; }

// The ID of a temporary export file's name, or nullopt for any other name.
std::optional<std::int64_t> TempFileId(const std::string& name) {
  const std::size_t prefix = sizeof kTempPrefix - 1;
  const std::size_t suffix = sizeof kTempSuffix - 1;
  if (name.size() <= prefix + suffix || name.compare(0, prefix, kTempPrefix) != 0 ||
      name.compare(name.size() - suffix, suffix, kTempSuffix) != 0) {
    return std::nullopt;
  }
  const std::string digits = name.substr(prefix, name.size() - prefix - suffix);
  if (digits.empty() || digits.size() > 18 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoll(digits);
}

// The client learns what failed; the log also where and why.
[[noreturn]] void RaiseFileError(const std::string& what, const std::filesystem::path& path,
                                 int error) {
  throw RequestError(kFailed, what, path.string() + ": " + std::strerror(error));
}

// Writes the whole text and forces it to disk.
void WriteDurably(const std::filesystem::path& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) RaiseFileError("Не удалось создать файл выгрузки", path, errno);
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : EIO;
      ::close(fd);
      RaiseFileError("Не удалось записать файл выгрузки", path, error);
    }
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    RaiseFileError("Не удалось сохранить файл выгрузки", path, error);
  }
  if (::close(fd) != 0) RaiseFileError("Не удалось закрыть файл выгрузки", path, errno);
}

// A new or renamed name is durable once the folder that holds it is on disk.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) RaiseFileError("Не удалось сохранить папку выгрузок", folder, errno);
  if (::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    RaiseFileError("Не удалось сохранить папку выгрузок", folder, error);
  }
  ::close(fd);
}

const char* StageName(ExportPause::Stage stage) {
  switch (stage) {
    case ExportPause::Stage::kAfterFile:
      return "after its file";
    case ExportPause::Stage::kBeforeCommit:
      return "before commit";
    case ExportPause::Stage::kAfterCommit:
      return "after commit";
    case ExportPause::Stage::kAfterRename:
      return "after rename";
    case ExportPause::Stage::kNone:
      break;
  }
  return "";
}

void Pause(const ExportPause& pause, ExportPause::Stage stage, std::int64_t id) {
  if (pause.stage != stage || pause.duration.count() <= 0) return;
  LogWarning("test hook: export " + std::to_string(id) + " paused " + StageName(stage) + " for " +
             std::to_string(pause.duration.count()) + " ms");
  std::this_thread::sleep_for(pause.duration);
}

// The change-time condition of a query: nothing for a full export, a closed range otherwise.
std::string Where(const char* column, bool ranged) {
  return ranged ? std::string(" WHERE ") + column + " BETWEEN ?1 AND ?2" : std::string();
}

}  // namespace

ExportService::ExportService(const std::string& database_path, std::filesystem::path export_folder,
                             ExportPause pause)
    : db_(Database::OpenForWriting(database_path)),
      folder_(std::move(export_folder)),
      pause_(pause) {
  CreatePrivateFolder(folder_);
}

std::vector<std::string> ExportService::Recover() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> report;
  Statement committed = db_.Prepare("SELECT 1 FROM OK_EXPORT_HISTORY WHERE ID = ?");
  bool changed = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    const std::string name = entry.path().filename().string();
    const auto id = TempFileId(name);
    if (!id || !entry.is_regular_file()) continue;
    committed.Reset();
    committed.Bind(1, *id);
    std::error_code error;
    if (committed.Step()) {
      std::filesystem::rename(entry.path(), folder_ / ExportFileName(*id), error);
      report.push_back(error ? "export " + std::to_string(*id) + ": " + name +
                                   " could not be renamed to " + ExportFileName(*id) + " (" +
                                   error.message() + "); it stays under its temporary name"
                             : "recovered export " + std::to_string(*id) + ": " + name + " -> " +
                                   ExportFileName(*id));
    } else {
      std::filesystem::remove(entry.path(), error);
      report.push_back("removed unfinished export file " + name +
                       " (its history row was never committed)");
    }
    changed = true;
  }
  if (changed) {
    try {
      SyncFolder(folder_);
    } catch (const RequestError& error) {
      report.push_back(error.Message() + " (" + error.Detail() + ")");
    }
  }
  committed = Statement();
  for (std::string& line : MissingExportFiles(db_, folder_)) report.push_back(std::move(line));
  return report;
}

std::vector<std::string> ExportService::MissingFiles() {
  std::lock_guard lock(mutex_);
  return MissingExportFiles(db_, folder_);
}

std::vector<std::string> MissingExportFiles(Database& db, const std::filesystem::path& folder) {
  std::vector<std::string> missing;
  Statement files = db.Prepare("SELECT HISTORY_ID, FILE_NAME FROM EXPORT_FILES ORDER BY 1");
  while (files.Step()) {
    const std::int64_t id = files.Int(0);
    const std::string name = files.Text(1);
    if (std::filesystem::exists(folder / name) ||
        std::filesystem::exists(folder / TempFileName(id))) {
      continue;
    }
    missing.push_back("export " + std::to_string(id) + ": its history row has no file " + name +
                      " in " + folder.string());
  }
  return missing;
}

ExportOutcome ExportService::ExportAll() { return Run(std::nullopt); }

ExportOutcome ExportService::ExportChanges(TDateTime from_day, TDateTime to_day) {
  return Run(std::make_pair(SqlDate(from_day), SqlDate(to_day)));
}

ExportOutcome ExportService::Run(const std::optional<std::pair<std::string, std::string>>& range) {
  std::lock_guard lock(mutex_);
  const TDateTime now = NowToTheSecond();
  ExportContent content;
  content.created = SqlDateTime(now);
  content.full = !range;

  Transaction transaction(db_);
  auto bind_range = [&](Statement& statement) {
    if (range) {
      statement.Bind(1, range->first + " 00:00:00").Bind(2, range->second + " 23:59:59");
    }
  };
  std::string earliest;  // the earliest change among the rows exported
  auto note_change = [&](const std::string& changed) {
    if (earliest.empty() || changed < earliest) earliest = changed;
  };

  Statement staff = db_.Prepare(
      "SELECT ID, PERSONNEL_NUMBER, LAST_NAME, FIRST_NAME, MIDDLE_NAME, POSITION, DEPARTMENT, "
      "HIRED, DISMISSED, SALARY, CHANGED_AT FROM STAFF" +
      Where("CHANGED_AT", range.has_value()) + " ORDER BY ID");
  bind_range(staff);
  while (staff.Step()) {
    content.staff.push_back({staff.Int(0), staff.Text(1), staff.Text(2), staff.Text(3),
                             staff.OptionalText(4), staff.Text(5), staff.Text(6), staff.Text(7),
                             staff.OptionalText(8), staff.Int(9), staff.Text(10)});
    note_change(content.staff.back().changed);
  }
  Statement vacations = db_.Prepare(
      "SELECT V.ID, V.STAFF_ID, S.PERSONNEL_NUMBER, V.KIND, V.START_DATE, V.END_DATE, "
      "V.CHANGED_AT FROM VACATIONS V JOIN STAFF S ON S.ID = V.STAFF_ID" +
      Where("V.CHANGED_AT", range.has_value()) + " ORDER BY V.ID");
  bind_range(vacations);
  while (vacations.Step()) {
    content.vacations.push_back({vacations.Int(0), vacations.Int(1), vacations.Text(2),
                                 vacations.Text(3), vacations.Text(4), vacations.Text(5),
                                 vacations.Text(6)});
    note_change(content.vacations.back().changed);
  }
  Statement pay = db_.Prepare(
      "SELECT P.ID, P.STAFF_ID, S.PERSONNEL_NUMBER, P.KIND, P.PAY_DATE, P.AMOUNT, P.CHANGED_AT "
      "FROM EXTRA_PAY P JOIN STAFF S ON S.ID = P.STAFF_ID" +
      Where("P.CHANGED_AT", range.has_value()) + " ORDER BY P.ID");
  bind_range(pay);
  while (pay.Step()) {
    content.extra_pay.push_back(
        {pay.Int(0), pay.Int(1), pay.Text(2), pay.Text(3), pay.Text(4), pay.Int(5), pay.Text(6)});
    note_change(content.extra_pay.back().changed);
  }

  if (range) {
    content.from = range->first;
    content.to = range->second;
  } else {
    content.to = SqlDate(now);
    content.from = earliest.empty() ? content.to : earliest.substr(0, 10);
  }
  Statement history = db_.Prepare(
      "INSERT INTO OK_EXPORT_HISTORY (EXPORT_DATE, EXPORT_FROM, EXPORT_TO) VALUES (?, ?, ?)");
  history.Bind(1, content.created)
      .Bind(2, content.from + " 00:00:00")
      .Bind(3, content.to + " 00:00:00");
  history.Step();
  content.id = db_.LastInsertId();

  Statement file = db_.Prepare("INSERT INTO EXPORT_FILES (HISTORY_ID, FILE_NAME) VALUES (?, ?)");
  file.Bind(1, content.id).Bind(2, ExportFileName(content.id));
  file.Step();

  const std::filesystem::path temp = folder_ / TempFileName(content.id);
  const std::filesystem::path final_path = folder_ / ExportFileName(content.id);
  try {
    WriteDurably(temp, WriteExportXml(content));
    Pause(pause_, ExportPause::Stage::kAfterFile, content.id);
    SyncFolder(folder_);
    Pause(pause_, ExportPause::Stage::kBeforeCommit, content.id);
    transaction.Commit();
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw;  // the transaction rolls back as it goes
  }
  // Committed: the export is complete, its file on disk under the temporary name at least.
  Pause(pause_, ExportPause::Stage::kAfterCommit, content.id);
  std::error_code error;
  std::filesystem::rename(temp, final_path, error);
  if (error) {
    LogWarning("export " + std::to_string(content.id) + " is complete, but its file " +
               temp.string() + " could not be renamed (" + error.message() +
               "); the next start of the server renames it");
  } else {
    Pause(pause_, ExportPause::Stage::kAfterRename, content.id);
    try {
      SyncFolder(folder_);
    } catch (const RequestError& failure) {
      LogWarning("export " + std::to_string(content.id) + " is complete, but " + failure.Message() +
                 " (" + failure.Detail() + ")");
    }
  }

  ExportOutcome outcome;
  outcome.id = content.id;
  outcome.file_name = final_path.filename().string();
  outcome.from = content.from;
  outcome.to = content.to;
  outcome.staff = content.staff.size();
  outcome.vacations = content.vacations.size();
  outcome.extra_pay = content.extra_pay.size();
  return outcome;
}

}  // namespace tvx::example
