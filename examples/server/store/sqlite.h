// A thin owner of SQLite connections and statements: errors become EDatabaseError with
// SQLite's message, and nothing leaks on any path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tvx::example {

class Statement {
 public:
  Statement() = default;
  Statement(sqlite3* db, sqlite3_stmt* statement) : db_(db), statement_(statement) {}
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  ~Statement();

  // Parameters count from 1.
  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, std::string_view text);
  Statement& BindNull(int index);
  // Moves to the next row: false when there is none. Raises EDatabaseError on failure.
  bool Step();
  void Reset();

  // Columns count from 0.
  bool IsNull(int column) const;
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::optional<std::string> OptionalText(int column) const;

  sqlite3_stmt* Handle() const { return statement_; }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* statement_ = nullptr;
};

class Database {
 public:
  Database() = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  ~Database();

  // Opens read-write, creating the file when missing; WAL journal, full synchronisation,
  // foreign keys on, and a busy time-out, so that readers and the one writer share the file.
  static Database OpenForWriting(const std::string& path);
  // Opens read-only, with the same busy time-out.
  static Database OpenForReading(const std::string& path);

  void Execute(const char* sql);
  Statement Prepare(std::string_view sql);
  std::int64_t LastInsertId() const;
  sqlite3* Handle() const { return db_; }

 private:
  static Database Open(const std::string& path, int flags);
  sqlite3* db_ = nullptr;
};

// Runs a transaction: BEGIN IMMEDIATE on construction, ROLLBACK on destruction unless
// Commit() succeeded.
class Transaction {
 public:
  explicit Transaction(Database& db);
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction();
  void Commit();

 private:
  Database& db_;
  bool open_ = true;
};

}  // namespace tvx::example
