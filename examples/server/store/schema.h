// The personnel database of the example server: staff, their vacations and extra pay, each
// row with the moment it last changed, the history of exports to the accounting system, and
// the server's users.
#pragma once

#include "server/store/sqlite.h"

namespace tvx::example {

// 1: without the users; 2: with them; 3: with the files of the exports (EXPORT_FILES, one
// row for each history row that an export of this server wrote a file for).
inline constexpr int kSchemaVersion = 3;

// Creates the tables in an empty database.
void CreateSchema(Database& db);
// Brings the database of an earlier server up to this one's schema; nothing when it is.
void UpgradeSchema(Database& db);
// Raises EDatabaseError unless the database has this server's tables.
void CheckSchema(Database& db);

}  // namespace tvx::example
