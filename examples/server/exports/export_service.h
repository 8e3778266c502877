// The exports to the accounting system. Each export writes its file and adds its row to
// OK_EXPORT_HISTORY (and EXPORT_FILES) as one unit: a failure, the server being killed or the
// power lost at any moment leave either both or neither.
//
// The steps, under one writer lock:
//   1. BEGIN IMMEDIATE; read the rows to export; insert the history row (its ID names files);
//   2. write the file as ".export-<ID>.xml.tmp" in the export folder and fsync it;
//   3. fsync the folder, so that the file's name is on disk before the row can be;
//   4. COMMIT;
//   5. rename it to "export-<ID>.xml" and fsync the folder.
// A failure before 4, a failed sync among them, rolls back and removes the temporary file.
// After 4 the export is complete whatever happens: a failed rename or sync is logged, and the
// file waits under its temporary name, which is on disk. At start-up, before any request,
// Recover finishes step 5 for every temporary file whose row was committed, removes the
// others, and reports each committed export whose file is missing.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "rtl/datetime.h"
#include "server/store/sqlite.h"

namespace tvx::example {

// A test hook: the export stops for a while at one of its stages (and logs that it does), so
// that a test can kill the server or drop the client right there.
struct ExportPause {
  // After step 2, after step 3 (before the commit), after step 4, after the rename of step 5.
  enum class Stage { kNone, kAfterFile, kBeforeCommit, kAfterCommit, kAfterRename };
  Stage stage = Stage::kNone;
  std::chrono::milliseconds duration{0};
};

struct ExportOutcome {
  std::int64_t id = 0;    // the history row
  std::string file_name;  // in the export folder
  std::string from;       // YYYY-MM-DD, as recorded in the history
  std::string to;
  std::size_t staff = 0;
  std::size_t vacations = 0;
  std::size_t extra_pay = 0;
};

class ExportService {
 public:
  // Opens its own writing connection to the database; creates the export folder if needed.
  ExportService(const std::string& database_path, std::filesystem::path export_folder,
                ExportPause pause = {});

  // Finishes or undoes the exports that a crash interrupted. Returns what it did, a line for
  // each file, for the log, and a line for each committed export whose file is missing.
  std::vector<std::string> Recover();
  // The committed exports whose files are missing, a line each; the admin verb's status.
  std::vector<std::string> MissingFiles();

  // Every row. The history records the range from the day of the earliest change exported
  // (the day of the export when there is nothing) to the day of the export.
  ExportOutcome ExportAll();
  // The rows whose change time lies from `from_day` 00:00:00 to `to_day` 23:59:59; both are
  // whole days, from_day <= to_day. The history records this range.
  ExportOutcome ExportChanges(TDateTime from_day, TDateTime to_day);

  const std::filesystem::path& Folder() const { return folder_; }

 private:
  ExportOutcome Run(const std::optional<std::pair<std::string, std::string>>& range);

  std::mutex mutex_;
  Database db_;
  std::filesystem::path folder_;
  ExportPause pause_;
};

// The exports recorded in EXPORT_FILES whose file is in the folder under neither its name nor
// its temporary one: a line each.
std::vector<std::string> MissingExportFiles(Database& db, const std::filesystem::path& folder);

}  // namespace tvx::example
