// The provider "dspQuery": runs the command text of an AS_GetRecords request as a read-only
// query and replies with its rows as a data packet (docs/data-packet.md).
//
// Only one SELECT statement is run: the text must prepare to exactly one statement (nothing
// but blanks, comments and semicolons after it), which SQLite reports read-only and which
// yields columns; the connection's authoriser lets through the functions of
// server/query/query_functions.h, and reads of the tables and columns that the user's role may
// read (server/users/roles.h), and nothing else, so neither PRAGMA, ATTACH nor a writing
// statement in disguise gets past it. Then the statement's own program decides
// (server/query/statement_reads.h): every table, index and column it reads must be one the
// role may read, however the query reaches for it (a join's USING, a NATURAL join, a recursive
// common table expression).
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
#include "server/query/reply_budget.h"
#include "server/query/statement_reads.h"
#include "server/store/sqlite.h"
#include "server/users/roles.h"

namespace tvx::example {

inline constexpr char kQueryProvider[] = "dspQuery";

// What one query may take. Besides these, every query connection has SQLite's own limits set
// low (a value of at most `value_bytes`, a text of 100 000 bytes, 100 columns, expressions 100
// deep, 50 SELECTs in a compound, no attached databases), a page cache of `cache_bytes`, and
// its temporary storage (sorting, grouping, DISTINCT) in memory, within the server's heap
// limit, rather than in files without one.
struct QueryLimits {
  std::chrono::milliseconds time{10000};
  int value_bytes = 1 << 20;
  int cache_bytes = 2 << 20;
  // A reply's rows and the size of its packet, checked row by row while the rows are read,
  // before the packet is built. The packet must fit into one reply frame, with room for the
  // reply's own fields.
  std::uint64_t reply_rows = 100000;
  std::uint64_t packet_bytes = 16u << 20;
};

// The share of a reply budget that one cell of a reply holds while it is read, built into a
// packet and sent: the cell as read, in the packet writer, and in the packet and its frame.
inline constexpr std::uint64_t kReplyBytesPerCell = 48;

// A read-only connection for a user of one role, with what its queries are checked against.
struct QueryConnection {
  Database db;
  Role role = Role::kOperator;
  StoredObjects objects;
  // Where replies take their memory (none: unbounded), and the share of the last reply, held
  // until it has left.
  ReplyBudget* budget = nullptr;
  ReplyShare reply;
};

// A connection with the authoriser and the limits described above, for a user of this role.
QueryConnection OpenQueryConnection(const std::string& path, Role role,
                                    const QueryLimits& limits = {}, ReplyBudget* budget = nullptr);

// Raises RequestError with a text that says what is wrong: an unknown provider, parameters,
// a text that is not one SELECT, a table, column or function that the role may not use (code
// E_ACCESSDENIED), an error of SQLite, a column or value that a packet cannot carry, a query
// that runs too long, needs too much memory or whose reply would be too large, a reply budget
// that other replies hold (RPC_E_SERVERCALL_RETRYLATER). The reply's share of the budget
// stays in `connection.reply` until the next query or ReleaseReply.
GetRecordsReply RunProviderQuery(QueryConnection& connection, const GetRecordsRequest& request,
                                 const QueryLimits& limits = {});

}  // namespace tvx::example
