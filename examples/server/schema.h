// The personnel database of the example server: staff, their vacations and extra pay, each
// row with the moment it last changed, and the history of exports to the accounting system.
#pragma once

#include "server/sqlite.h"

namespace tvx::example {

inline constexpr int kSchemaVersion = 1;

// Creates the tables in an empty database.
void CreateSchema(Database& db);
// Raises EDatabaseError unless the database has this server's tables.
void CheckSchema(Database& db);

}  // namespace tvx::example
