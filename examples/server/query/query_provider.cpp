#include "server/query/query_provider.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <vector>

#include "db/data_packet_writer.h"
#include "rtl/exceptions.h"
#include "server/common/request_error.h"
#include "server/query/query_functions.h"
#include "server/store/sql_time.h"

namespace tvx::example {

namespace {

const char kOnlySelect[] = "Поставщик dspQuery выполняет только один запрос SELECT";

// The table and column that the role of the statement being prepared on this thread may not
// read ("STAFF.SALARY"); empty when nothing was refused for that reason.
thread_local std::string refused_read;
thread_local Role refused_role = Role::kOperator;
// The function that the statement being prepared on this thread may not call.
thread_local std::string refused_function;

Role RoleOf(void* data) { return static_cast<Role>(reinterpret_cast<std::intptr_t>(data)); }

int AllowReadsOfTheRole(void* role, int action, const char* table, const char* column, const char*,
                        const char*) {
  switch (action) {
    case SQLITE_READ: {
      const std::string_view t = table != nullptr ? table : "";
      const std::string_view c = column != nullptr ? column : "";
      if (MayRead(RoleOf(role), t, c)) return SQLITE_OK;
      if (refused_read.empty()) {
        refused_read = c.empty() ? std::string(t) : std::string(t) + "." + std::string(c);
        refused_role = RoleOf(role);
      }
      return SQLITE_DENY;
    }
    case SQLITE_FUNCTION: {
      const std::string_view name = column != nullptr ? column : "";
      if (IsQueryFunction(name)) return SQLITE_OK;
      if (refused_function.empty()) refused_function = name;
      return SQLITE_DENY;
    }
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
      return SQLITE_OK;
    default:
      return SQLITE_DENY;
  }
}

using Deadline = std::chrono::steady_clock::time_point;

int StopAfterDeadline(void* deadline) {
  return std::chrono::steady_clock::now() > *static_cast<Deadline*>(deadline) ? 1 : 0;
}

struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, Finalizer>;

// Interrupts the statements of a connection once the deadline has passed.
class ProgressGuard {
 public:
  ProgressGuard(sqlite3* db, std::chrono::milliseconds limit)
      : db_(db), deadline_(std::chrono::steady_clock::now() + limit) {
    sqlite3_progress_handler(db_, 1000, StopAfterDeadline, &deadline_);
  }
  ProgressGuard(const ProgressGuard&) = delete;
  ProgressGuard& operator=(const ProgressGuard&) = delete;
  ~ProgressGuard() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }

 private:
  sqlite3* db_;
  Deadline deadline_;
};

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

std::string Quoted(const std::string& name) { return "«" + name + "»"; }

[[noreturn]] void RefuseRead(Role role, const std::string& what) {
  throw RequestError(kAccessDenied,
                     std::string("Роль «") + RoleName(role) + "» не даёт читать " + what);
}

// The one statement of the text; anything else is refused.
StatementPtr PrepareSingleSelect(sqlite3* db, const std::string& text) {
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  refused_read.clear();
  refused_function.clear();
  const int rc = sqlite3_prepare_v2(db, text.data(), static_cast<int>(text.size()), &raw, &tail);
  StatementPtr statement(raw);
  if (rc != SQLITE_OK) {
    if ((rc & 0xFF) == SQLITE_AUTH && !refused_read.empty()) RefuseRead(refused_role, refused_read);
    // SQLite reports a refused function as an error of the text, not of the authoriser.
    if (!refused_function.empty()) {
      throw RequestError(kAccessDenied,
                         "Функция " + Quoted(refused_function) + " в запросах недоступна");
    }
    if ((rc & 0xFF) == SQLITE_AUTH) throw RequestError(kInvalidArgument, kOnlySelect);
    throw RequestError(kInvalidArgument, "Ошибка в тексте запроса", sqlite3_errmsg(db));
  }
  if (!statement) throw RequestError(kInvalidArgument, "Текст запроса пуст");
  // Whatever follows must prepare to nothing: blanks, comments and semicolons only.
  const char* end = text.data() + text.size();
  while (tail != nullptr && tail < end) {
    sqlite3_stmt* next = nullptr;
    const char* after = nullptr;
    const int next_rc = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &next, &after);
    sqlite3_finalize(next);
    if (next_rc != SQLITE_OK || next != nullptr) {
      throw RequestError(kInvalidArgument,
                         "Текст запроса содержит больше одной команды; поставщик dspQuery "
                         "выполняет только один запрос SELECT");
    }
    if (after == nullptr || after <= tail) break;
    tail = after;
  }
  if (sqlite3_stmt_readonly(statement.get()) == 0 || sqlite3_column_count(statement.get()) == 0 ||
      sqlite3_stmt_isexplain(statement.get()) != 0) {
    throw RequestError(kInvalidArgument, kOnlySelect);
  }
  return statement;
}

// Every table, index and column that the statement's program reads must be the role's.
void CheckStatementReads(QueryConnection& connection, const std::string& text) {
  std::vector<StoredRead> reads;
  try {
    reads = StatementReads(connection.db.Handle(), text, connection.objects);
  } catch (const EDatabaseError& error) {
    throw RequestError(kInvalidArgument, "Ошибка в тексте запроса", error.Message());
  }
  for (const StoredRead& read : reads) {
    if (!MayReadStored(connection.role, read.table, read.column)) {
      RefuseRead(connection.role,
                 read.column.empty() ? read.table : read.table + "." + read.column);
    }
  }
}

enum class Kind { kExpression, kInteger, kAutoInc, kDateTime };

struct Column {
  std::string name;
  Kind kind = Kind::kExpression;
  bool nullable = true;
};

// The kind of a column from its declaration, and whether it may hold null; a column computed
// by an expression has no declaration and stays kExpression.
Column DescribeColumn(sqlite3* db, sqlite3_stmt* statement, int index) {
  Column column;
  const char* name = sqlite3_column_name(statement, index);
  column.name = name != nullptr ? name : "";
  const char* declared = sqlite3_column_decltype(statement, index);
  if (declared == nullptr) return column;
  const std::string type = Upper(declared);
  bool not_null = false;
  bool primary_key = false;
  const char* table = sqlite3_column_table_name(statement, index);
  const char* origin = sqlite3_column_origin_name(statement, index);
  if (table != nullptr && origin != nullptr) {
    int nn = 0, pk = 0, autoinc = 0;
    if (sqlite3_table_column_metadata(db, sqlite3_column_database_name(statement, index), table,
                                      origin, nullptr, nullptr, &nn, &pk, &autoinc) == SQLITE_OK) {
      not_null = nn != 0;
      primary_key = pk != 0;
    }
  }
  if (type.find("INT") != std::string::npos) {
    // INTEGER PRIMARY KEY is the row's own number, which SQLite assigns.
    column.kind = primary_key && type == "INTEGER" ? Kind::kAutoInc : Kind::kInteger;
    column.nullable = !(not_null || column.kind == Kind::kAutoInc);
  } else if (type == "DATE" || type == "DATETIME" || type == "TIMESTAMP") {
    column.kind = Kind::kDateTime;
    column.nullable = !not_null;
  } else {
    throw RequestError(kInvalidArgument, "Столбец " + Quoted(column.name) + " имеет тип " +
                                             declared +
                                             ", а пакет данных передаёт только целые числа и даты");
  }
  return column;
}

const char* StorageName(int type) {
  switch (type) {
    case SQLITE_INTEGER:
      return "INTEGER";
    case SQLITE_FLOAT:
      return "REAL";
    case SQLITE_TEXT:
      return "TEXT";
    case SQLITE_BLOB:
      return "BLOB";
    default:
      return "NULL";
  }
}

DataPacketValue ReadCell(sqlite3_stmt* statement, int index, Column& column) {
  const int storage = sqlite3_column_type(statement, index);
  if (storage == SQLITE_NULL) {
    column.nullable = true;
    return std::nullopt;
  }
  if (column.kind == Kind::kDateTime) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
    const std::string value =
        text != nullptr
            ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, index)))
            : std::string();
    const auto moment = storage == SQLITE_TEXT ? ParseSqlDateTime(value) : std::nullopt;
    if (!moment) {
      throw RequestError(kInvalidArgument, "Значение «" + value + "» в столбце " +
                                               Quoted(column.name) + " не является датой");
    }
    return *moment;
  }
  if (storage != SQLITE_INTEGER) {
    throw RequestError(kInvalidArgument, "Столбец " + Quoted(column.name) +
                                             " содержит значение типа " + StorageName(storage) +
                                             ", а пакет данных передаёт только целые числа и даты");
  }
  const sqlite3_int64 value = sqlite3_column_int64(statement, index);
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw RequestError(kInvalidArgument, "Значение " + std::to_string(value) + " в столбце " +
                                             Quoted(column.name) +
                                             " не помещается в 32-битное целое");
  }
  if (column.kind == Kind::kExpression) column.kind = Kind::kInteger;
  return static_cast<std::int32_t>(value);
}

TFieldType FieldTypeOf(Kind kind) {
  switch (kind) {
    case Kind::kAutoInc:
      return ftAutoInc;
    case Kind::kDateTime:
      return ftDateTime;
    case Kind::kExpression:
    case Kind::kInteger:
      break;
  }
  return ftInteger;
}

}  // namespace

QueryConnection OpenQueryConnection(const std::string& path, Role role, const QueryLimits& limits,
                                    ReplyBudget* budget) {
  QueryConnection connection{Database::OpenForReading(path), role, {}, budget, ReplyShare(budget)};
  Database& db = connection.db;
  sqlite3* handle = db.Handle();
  sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, limits.value_bytes);
  sqlite3_limit(handle, SQLITE_LIMIT_SQL_LENGTH, 100000);
  sqlite3_limit(handle, SQLITE_LIMIT_COLUMN, 100);
  sqlite3_limit(handle, SQLITE_LIMIT_EXPR_DEPTH, 100);
  sqlite3_limit(handle, SQLITE_LIMIT_COMPOUND_SELECT, 50);
  sqlite3_limit(handle, SQLITE_LIMIT_VDBE_OP, 100000);
  sqlite3_limit(handle, SQLITE_LIMIT_FUNCTION_ARG, 8);
  sqlite3_limit(handle, SQLITE_LIMIT_ATTACHED, 0);
  sqlite3_limit(handle, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 1000);
  sqlite3_limit(handle, SQLITE_LIMIT_VARIABLE_NUMBER, 1);
  sqlite3_limit(handle, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
  // fts3_tokenizer() hands out and takes native pointers; the schema is trusted by nobody.
  sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, nullptr);
  sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  db.Execute(
      ("PRAGMA cache_size = -" + std::to_string(std::max(1, limits.cache_bytes >> 10))).c_str());
  db.Execute("PRAGMA temp_store = MEMORY");
  connection.objects = StoredObjects::Load(handle);
  // The role travels as the callback's pointer, which AllowReadsOfTheRole turns back.
  sqlite3_set_authorizer(handle, AllowReadsOfTheRole,
                         reinterpret_cast<void*>(  // NOLINT(performance-no-int-to-ptr)
                             static_cast<std::intptr_t>(role)));
  return connection;
}

GetRecordsReply RunProviderQuery(QueryConnection& connection, const GetRecordsRequest& request,
                                 const QueryLimits& limits) {
  connection.reply.Release();
  // A refused query gives its share back at once; a reply keeps it until it has left.
  struct ReleaseIfRefused {
    ReplyShare& share;
    int pending = std::uncaught_exceptions();
    ~ReleaseIfRefused() {
      if (std::uncaught_exceptions() > pending) share.Release();
    }
  } release_if_refused{connection.reply};
  if (Upper(request.provider) != Upper(kQueryProvider)) {
    throw RequestError(kInvalidArgument,
                       "Поставщик данных «" + request.provider + "» на сервере не найден");
  }
  if (request.params.type != WireType::kEmpty && request.params.type != WireType::kNull) {
    throw RequestError(kInvalidArgument, "Поставщик dspQuery не принимает параметров запроса");
  }
  if (request.count < -1) {
    throw RequestError(kInvalidArgument,
                       "Неверное число записей: " + std::to_string(request.count));
  }

  sqlite3* handle = connection.db.Handle();
  const ProgressGuard progress(handle, limits.time);
  const StatementPtr statement = PrepareSingleSelect(handle, request.command_text);
  CheckStatementReads(connection, request.command_text);
  const int column_count = sqlite3_column_count(statement.get());
  std::vector<Column> columns;
  for (int i = 0; i < column_count; ++i) {
    columns.push_back(DescribeColumn(handle, statement.get(), i));
  }

  // Rows are read before the packet is begun: a computed column learns its type from them.
  const std::uint64_t row_bytes = 8u * static_cast<std::uint64_t>(column_count) + 1;
  const std::uint64_t max_rows = request.count < 0 ? std::numeric_limits<std::uint64_t>::max()
                                                   : static_cast<std::uint64_t>(request.count);
  std::vector<DataPacketValue> cells;
  std::uint64_t rows = 0;
  while (rows < max_rows) {
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) {
      if ((rc & 0xFF) == SQLITE_INTERRUPT) {
        throw RequestError(kFailed, "Запрос выполнялся дольше " +
                                        std::to_string(limits.time.count()) + " мс и прерван");
      }
      if ((rc & 0xFF) == SQLITE_TOOBIG) {
        throw RequestError(
            kFailed, "Значение в запросе больше допустимых " +
                         std::to_string(sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, -1)) + " байт");
      }
      if ((rc & 0xFF) == SQLITE_NOMEM) {
        throw RequestError(kFailed, "Запросу не хватило памяти, отведённой запросам на сервере");
      }
      throw RequestError(kFailed, "Запрос не выполнен", sqlite3_errmsg(handle));
    }
    if (rows + 1 > limits.reply_rows) {
      throw RequestError(kFailed, "Ответ на запрос больше допустимых " +
                                      std::to_string(limits.reply_rows) + " строк; сузьте запрос");
    }
    if ((rows + 1) * row_bytes > limits.packet_bytes) {
      throw RequestError(kFailed, "Ответ на запрос больше допустимых " +
                                      std::to_string(limits.packet_bytes) + " байт; сузьте запрос");
    }
    if (!connection.reply.Grow(kReplyBytesPerCell * static_cast<std::uint64_t>(column_count) +
                               16)) {
      throw RequestError(
          kServerBusy, "Сервер приложений занят отправкой других ответов; повторите запрос позже");
    }
    for (int i = 0; i < column_count; ++i) {
      cells.push_back(ReadCell(statement.get(), i, columns[static_cast<std::size_t>(i)]));
    }
    ++rows;
  }

  DataPacketWriter writer;
  try {
    for (const Column& column : columns) {
      writer.AddColumn(column.name, FieldTypeOf(column.kind), column.nullable);
    }
    const auto width = static_cast<std::size_t>(column_count);
    for (std::size_t row = 0; row < rows; ++row) {
      writer.AddRow(std::span<const DataPacketValue>(cells.data() + row * width, width));
    }
  } catch (const EDatabaseError& error) {
    throw RequestError(kInvalidArgument,
                       "Результат запроса не передаётся пакетом данных: " + error.Message());
  }
  GetRecordsReply reply;
  reply.records_out = static_cast<std::int32_t>(rows);
  reply.data = WireValue::Bytes(writer.Encode());
  return reply;
}

}  // namespace tvx::example
