#include "server/query/statement_reads.h"

#include <sqlite3.h>

#include <algorithm>
#include <set>

#include "rtl/exceptions.h"
#include "server/store/sqlite.h"

namespace tvx::example {

namespace {

constexpr int kOpaqueRoot = -1;

bool ContainsFolded(std::string text, std::string_view what) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text.find(what) != std::string::npos;
}

std::string Quoted(const std::string& name) {
  std::string text = "\"";
  for (char c : name) text += c == '"' ? std::string("\"\"") : std::string(1, c);
  return text + "\"";
}

}  // namespace

StoredObjects StoredObjects::Load(sqlite3* handle) {
  StoredObjects objects;
  objects.objects_[1] = Object{"sqlite_master", {"type", "name", "tbl_name", "rootpage", "sql"}};
  auto prepare = [&](const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
      throw EDatabaseError("схема базы данных: " + std::string(sqlite3_errmsg(handle)));
    }
    return Statement(handle, raw);
  };
  struct Row {
    std::string type, name, table, sql;
    int root = 0;
  };
  std::vector<Row> rows;
  {
    Statement schema =
        prepare("SELECT type, name, tbl_name, rootpage, sql FROM sqlite_master WHERE rootpage > 0");
    while (schema.Step()) {
      rows.push_back(Row{schema.Text(0), schema.Text(1), schema.Text(2),
                         schema.OptionalText(4).value_or(""), static_cast<int>(schema.Int(3))});
    }
  }
  for (const Row& row : rows) {
    if (row.type != "table") continue;
    Object table{row.table, {}};
    Statement info = prepare("PRAGMA table_xinfo(" + Quoted(row.name) + ")");
    while (info.Step()) {
      table.columns.push_back(info.Text(1));
      // A generated column is stored elsewhere, or not at all: storage order is not the
      // declared one.
      if (info.Int(6) != 0) table.whole_table = true;
    }
    // A table without row IDs keeps its primary key first.
    if (ContainsFolded(row.sql, "WITHOUT ROWID")) table.whole_table = true;
    objects.table_columns_[row.table] = table.columns;
    objects.objects_[row.root] = std::move(table);
  }
  for (const Row& row : rows) {
    if (row.type != "index") continue;
    Object index{row.table, {}, true};
    Statement info = prepare("PRAGMA index_xinfo(" + Quoted(row.name) + ")");
    while (info.Step()) {
      if (info.Int(5) == 0) continue;  // the row ID at the end of each key
      if (info.Int(1) == -2) index.whole_table = true;
      if (info.Int(1) >= 0) index.columns.push_back(info.Text(2));
    }
    Statement list = prepare("PRAGMA index_list(" + Quoted(row.table) + ")");
    while (list.Step()) {
      if (list.Text(1) == row.name && list.Int(4) != 0) index.whole_table = true;
    }
    objects.objects_[row.root] = std::move(index);
  }
  return objects;
}

std::vector<StoredRead> StoredObjects::Open(int root_page) const {
  const auto found = objects_.find(root_page);
  if (found == objects_.end()) return {StoredRead{kOpaqueStorage, ""}};
  const Object& object = found->second;
  std::vector<StoredRead> reads{StoredRead{object.table, ""}};
  if (!object.index) return reads;
  const auto table = table_columns_.find(object.table);
  const std::vector<std::string>& columns =
      object.whole_table && table != table_columns_.end() ? table->second : object.columns;
  for (const std::string& column : columns) reads.push_back(StoredRead{object.table, column});
  return reads;
}

std::vector<StoredRead> StoredObjects::Column(int root_page, int index) const {
  const auto found = objects_.find(root_page);
  if (found == objects_.end()) return {StoredRead{kOpaqueStorage, ""}};
  const Object& object = found->second;
  // An index's columns were all counted when it was opened.
  if (object.index) return {};
  if (object.whole_table || index < 0 || static_cast<std::size_t>(index) >= object.columns.size()) {
    std::vector<StoredRead> reads;
    for (const std::string& column : object.columns) {
      reads.push_back(StoredRead{object.table, column});
    }
    return reads;
  }
  return {StoredRead{object.table, object.columns[static_cast<std::size_t>(index)]}};
}

std::vector<StoredRead> StatementReads(sqlite3* db, const std::string& text,
                                       const StoredObjects& objects) {
  struct Op {
    std::string name;
    int p1 = 0, p2 = 0, p3 = 0, p5 = 0;
  };
  std::vector<Op> program;
  {
    const std::string explain = "EXPLAIN " + text;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, explain.c_str(), static_cast<int>(explain.size()), &raw, nullptr) !=
            SQLITE_OK ||
        raw == nullptr) {
      sqlite3_finalize(raw);
      throw EDatabaseError("программа запроса: " + std::string(sqlite3_errmsg(db)));
    }
    Statement listing(db, raw);
    while (listing.Step()) {
      program.push_back(Op{listing.Text(1), static_cast<int>(listing.Int(2)),
                           static_cast<int>(listing.Int(3)), static_cast<int>(listing.Int(4)),
                           static_cast<int>(listing.Int(6))});
    }
  }

  std::vector<StoredRead> reads;
  auto add = [&](const std::vector<StoredRead>& more) {
    for (const StoredRead& read : more) {
      if (std::find(reads.begin(), reads.end(), read) == reads.end()) reads.push_back(read);
    }
  };
  // Which b-trees each cursor may stand for: a cursor number may be opened more than once, and
  // a column may be taken from it at any address, before or after an opening in the listing.
  std::map<int, std::set<int>> cursors;
  constexpr int kRootIsRegister = 0x10;  // OPFLAG_P2ISREG: the root page is computed
  for (const Op& op : program) {
    if (op.name == "OpenRead" || op.name == "ReopenIdx" || op.name == "OpenWrite") {
      const bool known = op.p3 == 0 && (op.p5 & kRootIsRegister) == 0;
      const int root = known ? op.p2 : kOpaqueRoot;
      cursors[op.p1].insert(root);
      add(objects.Open(root));
    } else if (op.name == "VOpen" || op.name == "IntegrityCk") {
      add({StoredRead{kOpaqueStorage, ""}});
    }
  }
  for (const Op& op : program) {
    if (op.name != "OpenDup") continue;
    const auto original = cursors.find(op.p2);
    if (original != cursors.end())
      cursors[op.p1].insert(original->second.begin(), original->second.end());
  }
  for (const Op& op : program) {
    const bool column = op.name == "Column";
    if (!column && op.name != "RowData") continue;
    const auto cursor = cursors.find(op.p1);
    if (cursor == cursors.end()) continue;  // a cursor on rows of the program's own
    for (const int root : cursor->second) add(objects.Column(root, column ? op.p2 : -1));
  }
  return reads;
}

}  // namespace tvx::example
