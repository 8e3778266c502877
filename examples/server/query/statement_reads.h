// What a prepared query reads, taken from the program SQLite compiled it to rather than from
// its text: every b-tree the program opens and every column it takes from one. The
// authoriser's callbacks miss columns that a query compares without naming them as a read (the
// columns of a join's USING or of a NATURAL join, for one); the program does not, since a
// value that is compared, sorted or returned has to be taken from its table first.
//
// An index counts as a read of every column it holds, since searching it compares their
// values without taking them; a partial index or one on an expression counts as a read of
// every column of its table. A virtual table, another database's object or an unknown b-tree
// is reported under a name that no role may read.
#pragma once

#include <map>
#include <string>
#include <vector>

struct sqlite3;

namespace tvx::example {

// One read: a table's column, or with an empty column the table itself (its rows, their
// number, their row IDs).
struct StoredRead {
  std::string table;
  std::string column;
  bool operator==(const StoredRead&) const = default;
};

// The main database's tables and indexes by root page, loaded once from a connection whose
// schema does not change afterwards (the server's does not while it runs).
class StoredObjects {
 public:
  // Reads the schema through `db`, which must not have an authoriser yet.
  static StoredObjects Load(sqlite3* db);

  // The reads of opening the b-tree at this root page of the main database.
  std::vector<StoredRead> Open(int root_page) const;
  // The reads of taking column `index` (in storage order; -1: the whole row) from the b-tree
  // at this root page.
  std::vector<StoredRead> Column(int root_page, int index) const;

 private:
  struct Object {
    std::string table;
    std::vector<std::string> columns;  // a table's in storage order, an index's key columns
    bool index = false;
    bool whole_table = false;  // each column read reads them all (an opaque layout)
  };
  std::map<int, Object> objects_;
  std::map<std::string, std::vector<std::string>> table_columns_;
};

// The reads of the one statement at the start of `text`, from its program (EXPLAIN), in the
// order the program makes them, without repeats. Raises EDatabaseError when the text does not
// prepare.
std::vector<StoredRead> StatementReads(sqlite3* db, const std::string& text,
                                       const StoredObjects& objects);

// The name under which reads that no role may make are reported: a virtual table's, another
// database's, an unknown b-tree's.
inline constexpr char kOpaqueStorage[] = "(хранилище SQLite)";

}  // namespace tvx::example
