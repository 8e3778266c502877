#include "server/store/sqlite.h"

#include <sqlite3.h>

#include <utility>

#include "rtl/exceptions.h"

namespace tvx::example {

namespace {

constexpr int kBusyTimeoutMs = 10000;

[[noreturn]] void Raise(sqlite3* db, const std::string& what) {
  throw EDatabaseError(what + ": " + (db != nullptr ? sqlite3_errmsg(db) : "нет памяти"));
}

}  // namespace

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), statement_(std::exchange(other.statement_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    db_ = other.db_;
    statement_ = std::exchange(other.statement_, nullptr);
  }
  return *this;
}

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement& Statement::Bind(int index, std::int64_t value) {
  if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK) Raise(db_, "bind");
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  if (sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT) != SQLITE_OK) {
    Raise(db_, "bind");
  }
  return *this;
}

Statement& Statement::BindNull(int index) {
  if (sqlite3_bind_null(statement_, index) != SQLITE_OK) Raise(db_, "bind");
  return *this;
}

bool Statement::Step() {
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Raise(db_, "step");
}

void Statement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(statement_, column); }

std::string Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(statement_, column);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

std::optional<std::string> Statement::OptionalText(int column) const {
  if (IsNull(column)) return std::nullopt;
  return Text(column);
}

Database::Database(Database&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    sqlite3_close_v2(db_);
    db_ = std::exchange(other.db_, nullptr);
  }
  return *this;
}

Database::~Database() { sqlite3_close_v2(db_); }

Database Database::Open(const std::string& path, int flags) {
  Database db;
  const int rc = sqlite3_open_v2(path.c_str(), &db.db_, flags, nullptr);
  if (rc != SQLITE_OK) Raise(db.db_, "не удалось открыть базу данных " + path);
  sqlite3_busy_timeout(db.db_, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db.db_, 1);
  return db;
}

Database Database::OpenForWriting(const std::string& path) {
  Database db = Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
  db.Execute("PRAGMA journal_mode=WAL");
  db.Execute("PRAGMA synchronous=FULL");
  db.Execute("PRAGMA foreign_keys=ON");
  return db;
}

Database Database::OpenForReading(const std::string& path) {
  return Open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
}

void Database::Execute(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message != nullptr ? message : "ошибка";
    sqlite3_free(message);
    throw EDatabaseError(text);
  }
}

Statement Database::Prepare(std::string_view sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) !=
      SQLITE_OK) {
    Raise(db_, "prepare");
  }
  return Statement(db_, statement);
}

std::int64_t Database::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

Transaction::Transaction(Database& db) : db_(db) { db_.Execute("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
  if (open_) {
    try {
      db_.Execute("ROLLBACK");
    } catch (const Exception&) {
      // A failed commit may have ended the transaction already.
    }
  }
}

void Transaction::Commit() {
  db_.Execute("COMMIT");
  open_ = false;
}

}  // namespace tvx::example
