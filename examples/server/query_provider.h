// The provider "dspQuery": runs the command text of an AS_GetRecords request as a read-only
// query and replies with its rows as a data packet (docs/data-packet.md).
//
// Only one SELECT statement is run: the text must prepare to exactly one statement (nothing
// but blanks, comments and semicolons after it), which SQLite reports read-only and which
// yields columns; the connection's authoriser lets functions through, and reads of the tables
// and columns that the user's role may read (server/roles.h), and nothing else, so neither
// PRAGMA, ATTACH, a writing statement in disguise nor a column of another role gets past it.
//
// Columns map by their declared type: a type containing "INT" to a 32-bit Integer (the
// table's INTEGER PRIMARY KEY to AutoInc), DATE, DATETIME and TIMESTAMP to DateTime; a column
// computed by an expression takes the type of its values (integers, or all null). Other types
// (text, real numbers, blobs) are refused by name, since a data packet cannot carry them.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "protocol/frame.h"
#include "protocol/messages.h"
#include "server/roles.h"
#include "server/sqlite.h"

namespace tvx::example {

inline constexpr char kQueryProvider[] = "dspQuery";

// What one query may take. Besides these, every query connection has SQLite's own limits set
// low (a value of at most `value_bytes`, a text of 100 000 bytes, 100 columns, expressions 100
// deep, 50 SELECTs in a compound, no attached databases) and a page cache of `cache_bytes`,
// beyond which sorting and the like spill into temporary files.
struct QueryLimits {
  std::chrono::milliseconds time{10000};
  int value_bytes = 1 << 20;
  int cache_bytes = 2 << 20;
  // The packet must fit into one reply frame, with room for the reply's own fields.
  std::uint64_t packet_bytes = kMaxReplyPayload - 64;
};

// A read-only connection with the authoriser and the limits described above, for a user of
// this role.
Database OpenQueryConnection(const std::string& path, Role role, const QueryLimits& limits = {});

// Raises RequestError with a text that says what is wrong: an unknown provider, parameters,
// a text that is not one SELECT, a table or column that the role may not read (code
// E_ACCESSDENIED), an error of SQLite, a column or value that a packet cannot
// carry, a query that runs too long or whose reply would be too large.
GetRecordsReply RunProviderQuery(Database& db, const GetRecordsRequest& request,
                                 const QueryLimits& limits = {});

}  // namespace tvx::example
