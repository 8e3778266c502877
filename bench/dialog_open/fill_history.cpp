// Gives the example server's database a history of exactly ROWS exports, two hours apart up to
// the start of today, each covering the two hours before it, for the dialog's opening benchmark.
// The server must not be running on the folder.
//
//   fill_history DATA_FOLDER ROWS
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "server/core/app_server_core.h"
#include "server/store/sqlite.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::atol(argv[2]) < 0) {
    std::fprintf(stderr, "usage: fill_history DATA_FOLDER ROWS\n");
    return 2;
  }
  try {
    using tvx::example::Database;
    const std::string path = std::string(argv[1]) + "/" + tvx::example::kDatabaseFileName;
    Database db = Database::OpenForWriting(path);
    db.Execute("BEGIN");
    db.Execute("DELETE FROM EXPORT_FILES");
    db.Execute("DELETE FROM OK_EXPORT_HISTORY");
    const std::string rows = std::to_string(std::atol(argv[2]));
    // Row I was exported (ROWS - I) * 2 hours before the hour of the latest, and covers the two
    // hours before it: 100,000 rows span about 23 years.
    const std::string ago = "'-' || ((" + rows + " - I) * 7200) || ' seconds'";
    db.Execute(("WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < " + rows +
                ") INSERT INTO OK_EXPORT_HISTORY (EXPORT_DATE, EXPORT_FROM, EXPORT_TO) SELECT "
                "datetime('now', 'start of day', " +
                ago + "), datetime('now', 'start of day', " + ago +
                ", '-7200 seconds'), datetime('now', 'start of day', " + ago + ") FROM N")
                   .c_str());
    db.Execute("COMMIT");
    std::printf("history: %s rows\n", rows.c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fill_history: %s\n", error.what());
    return 1;
  }
}
