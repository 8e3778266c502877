// The exports to the accounting system. Each export writes its file and adds its row to
// OK_EXPORT_HISTORY as one unit: a failure, or the server being killed at any moment, leaves
// either both or neither.
//
// The steps, under one writer lock:
//   1. BEGIN IMMEDIATE; read the rows to export; insert the history row (its ID names files);
//   2. write the file as ".export-<ID>.xml.tmp" in the export folder and fsync it;
//   3. COMMIT;
//   4. rename it to "export-<ID>.xml" and fsync the folder.
// A failure before 3 rolls back and removes the temporary file. After a crash, Recover (run
// at start-up, before any request) finishes step 4 for every temporary file whose row was
// committed, and removes the others.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "rtl/datetime.h"
#include "server/sqlite.h"

namespace tvx::example {

// A test hook: the export stops for a while at one of its stages (and logs that it does), so
// that a test can kill the server or drop the client right there.
struct ExportPause {
  enum class Stage { kNone, kBeforeCommit, kAfterCommit };
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
  // each file, for the log.
  std::vector<std::string> Recover();

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

}  // namespace tvx::example
