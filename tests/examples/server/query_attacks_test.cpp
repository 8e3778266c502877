// Queries that a user of a low role writes to learn what its role does not show, to reach
// into the process, or to make the server pay more than its limits: what each one learns or
// costs. The sample database (42 staff, each with a salary; extra pay with amounts) is read
// by the admin to know the truth, and attacked by the lower roles.
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/data_packet_reader.h"
#include "examples/server/server_fixture.h"
#include "server/common/request_error.h"
#include "server/core/app_server_core.h"
#include "server/query/query_functions.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;

// The outcome of a query: "rows N" and the first column's integers, or the refusal's code
// and text.
struct Outcome {
  std::string refusal;  // empty when the query ran
  std::vector<std::int32_t> values;
};

Outcome Ask(QueryConnection& queries, const std::string& text, const QueryLimits& limits = {}) {
  Outcome outcome;
  try {
    const GetRecordsReply reply = RunProviderQuery(
        queries, GetRecordsRequest{"dspQuery", -1, 1, text, WireValue::Null()}, limits);
    const tvx::DataPacketReader packet(reply.data.bytes);
    if (!packet.Columns().empty()) {
      std::vector<bool> keep(packet.Columns().size(), false);
      keep[0] = true;
      outcome.values = packet.ReadValues(keep)[0].integers;
    }
  } catch (const RequestError& error) {
    char code[16];
    std::snprintf(code, sizeof code, "%08x ", static_cast<unsigned>(error.Code()));
    outcome.refusal = code + error.Message();
  }
  return outcome;
}

std::string Refused(const char* role, const std::string& what) {
  return std::string("80070005 Роль «") + role + "» не даёт читать " + what;
}

class QueryAttacks : public ::testing::Test {
 protected:
  QueryConnection Open(Role role) { return core_.OpenQueryConnection(role); }
  // The values of a column as the admin reads them, as a list for a common table expression.
  std::string Candidates(const std::string& text) {
    QueryConnection admin = Open(Role::kAdmin);
    const Outcome truth = Ask(admin, text);
    EXPECT_TRUE(truth.refusal.empty()) << truth.refusal;
    std::string list;
    for (std::int32_t value : truth.values) {
      list += (list.empty() ? "(" : ", (") + std::to_string(value) + ")";
    }
    return list;
  }

  ScratchFolder folder_;
  AppServerCore core_{Settings(folder_.Path(), true)};
};

// A column compared by a join's USING or by a NATURAL join, through a common table expression
// of candidates (recursive or not), is read as much as one named in the SELECT: the roles
// that may not read it learn nothing, while the admin's near-identical queries show what the
// same shapes would have told.
TEST_F(QueryAttacks, JoinsThatCompareProtectedColumnsTellTheLowerRolesNothing) {
  const std::string salaries = Candidates("SELECT SALARY FROM STAFF");
  const std::string amounts = Candidates("SELECT AMOUNT FROM EXTRA_PAY");
  ASSERT_FALSE(salaries.empty());
  ASSERT_FALSE(amounts.empty());
  struct Case {
    Role role;
    std::string text;
    std::string refusal;  // for the role; the admin runs each text too
  };
  const Case cases[] = {
      {Role::kExport, "SELECT ID FROM STAFF JOIN (SELECT 12500000 AS SALARY) USING (SALARY)",
       Refused("export", "STAFF.SALARY")},
      {Role::kExport, "SELECT ID FROM STAFF NATURAL JOIN (SELECT 12500000 AS SALARY)",
       Refused("export", "STAFF.SALARY")},
      {Role::kExport, "SELECT ID FROM STAFF LEFT JOIN (SELECT 1 AS SALARY) USING (SALARY)",
       Refused("export", "STAFF.SALARY")},
      {Role::kExport,
       "WITH C(SALARY) AS (VALUES " + salaries +
           ") SELECT STAFF.ID FROM STAFF JOIN C USING (SALARY)",
       Refused("export", "STAFF.SALARY")},
      {Role::kExport,
       "WITH C(AMOUNT) AS (VALUES " + amounts + ") SELECT E.ID FROM EXTRA_PAY E NATURAL JOIN C",
       Refused("export", "EXTRA_PAY.AMOUNT")},
      {Role::kExport,
       "WITH RECURSIVE C(SALARY) AS (SELECT 0 UNION ALL SELECT SALARY + 500000 FROM C WHERE "
       "SALARY < 30000000) SELECT S.ID FROM STAFF S JOIN C USING (SALARY)",
       Refused("export", "STAFF.SALARY")},
      {Role::kExport, "SELECT ID FROM STAFF NATURAL JOIN STAFF", Refused("export", "STAFF.SALARY")},
      {Role::kOperator, "SELECT ID FROM OK_EXPORT_HISTORY NATURAL JOIN STAFF",
       Refused("operator", "STAFF")},
      {Role::kOperator, "SELECT ID FROM OK_EXPORT_HISTORY JOIN VACATIONS USING (ID)",
       Refused("operator", "VACATIONS")},
      {Role::kOperator, "SELECT 1 FROM (SELECT 'tester' AS NAME) JOIN USERS USING (NAME)",
       Refused("operator", "USERS")},
      {Role::kExport, "SELECT 1 FROM (SELECT 'x' AS PASSWORD_HASH) NATURAL JOIN USERS",
       Refused("export", "USERS")},
      {Role::kExport, "SELECT 1 FROM (SELECT 'STAFF' AS name) JOIN sqlite_master USING (name)",
       Refused("export", "sqlite_master")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 100));
    QueryConnection attacker = Open(c.role);
    const Outcome attacked = Ask(attacker, c.text);
    EXPECT_EQ(attacked.refusal, c.refusal);
    EXPECT_TRUE(attacked.values.empty());
  }
  // The same shapes tell the admin every salary and every amount: the attack is a real one.
  QueryConnection admin = Open(Role::kAdmin);
  EXPECT_EQ(Ask(admin, "WITH C(SALARY) AS (VALUES " + salaries +
                           ") SELECT COUNT(DISTINCT ID) FROM STAFF JOIN C USING (SALARY)")
                .values,
            std::vector<std::int32_t>{42});
  EXPECT_EQ(Ask(admin, "WITH C(AMOUNT) AS (VALUES " + amounts +
                           ") SELECT COUNT(DISTINCT E.ID) FROM EXTRA_PAY E NATURAL JOIN C")
                .values,
            Ask(admin, "SELECT COUNT(*) FROM EXTRA_PAY").values);
}

// What a role may read stays readable in every shape, an index search included.
TEST_F(QueryAttacks, JoinsOfReadableColumnsStayOpen) {
  struct Case {
    Role role;
    std::string text;
  };
  const Case cases[] = {
      {Role::kExport, "SELECT ID FROM STAFF JOIN (SELECT 1 AS ID) USING (ID)"},
      {Role::kExport, "SELECT V.ID FROM VACATIONS V JOIN EXTRA_PAY E USING (STAFF_ID)"},
      {Role::kExport, "SELECT S.ID FROM STAFF S JOIN VACATIONS V ON V.STAFF_ID = S.ID"},
      {Role::kExport, "SELECT COUNT(*) FROM STAFF WHERE CHANGED_AT > '2000-01-01 00:00:00'"},
      {Role::kExport, "SELECT ID FROM STAFF WHERE PERSONNEL_NUMBER = '0001'"},
      {Role::kExport, "SELECT H.ID FROM OK_EXPORT_HISTORY H NATURAL JOIN OK_EXPORT_HISTORY"},
      {Role::kOperator, "SELECT ID FROM OK_EXPORT_HISTORY JOIN (SELECT 1 AS ID) USING (ID)"},
      {Role::kAdmin, "SELECT ID FROM STAFF JOIN (SELECT 12500000 AS SALARY) USING (SALARY)"},
      {Role::kAdmin, "SELECT E.ID FROM EXTRA_PAY E NATURAL JOIN EXTRA_PAY"},
  };
  for (const Case& c : cases) {
    QueryConnection queries = Open(c.role);
    EXPECT_EQ(Ask(queries, c.text).refusal, "") << RoleName(c.role) << ": " << c.text;
  }
}

// A function off the list is refused when the query is prepared, in any case of its name:
// fts3_tokenizer hands out no address of the process and installs none.
TEST_F(QueryAttacks, OnlyTheListedFunctionsCanBeCalled) {
  QueryConnection queries = Open(Role::kAdmin);
  int tokenizer_enabled = -1;
  sqlite3_db_config(queries.db.Handle(), SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, -1,
                    &tokenizer_enabled);
  EXPECT_EQ(tokenizer_enabled, 0);
  struct Case {
    std::string text;
    std::string function;
  };
  const Case cases[] = {
      {"SELECT length(fts3_tokenizer('simple'))", "fts3_tokenizer"},
      {"SELECT length(FTS3_Tokenizer('simple', x'0000000000000000'))", "fts3_tokenizer"},
      {"SELECT length(load_extension('/tmp/x.so'))", "load_extension"},
      {"SELECT length(sqlite_compileoption_get(0))", "sqlite_compileoption_get"},
      {"SELECT length(sqlite_version())", "sqlite_version"},
      {"SELECT instr('abc', 'b')", "instr"},
      {"SELECT 'abc' LIKE '%b%'", "like"},
      {"SELECT 'abc' GLOB '*b*'", "glob"},
      {"SELECT length(replace('abc', 'b', 'x'))", "replace"},
      {"SELECT length(trim('abc', 'a'))", "trim"},
      {"SELECT length(printf('%.*c', 100, 'x'))", "printf"},
      {"SELECT length(zeroblob(10))", "zeroblob"},
      {"SELECT length(randomblob(10))", "randomblob"},
      {"SELECT length(group_concat(ID)) FROM STAFF", "group_concat"},
      {"SELECT unicode('a')", "unicode"},
      {"SELECT length(json('{}'))", "json"},
      {"SELECT '{\"a\":1}' ->> '$.a'", "->>"},
      {"SELECT random() > 0", "random"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Ask(queries, c.text);
    EXPECT_EQ(outcome.refusal, "80070005 Функция «" + c.function + "» в запросах недоступна")
        << c.text;
    EXPECT_TRUE(outcome.values.empty()) << c.text;
  }
  const std::string allowed[] = {
      // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one query over two lines
      "SELECT COUNT(*), SUM(ID), MAX(ID), MIN(ID), total(ID) = SUM(ID), CAST(round(avg(ID)) AS "
      "INTEGER) FROM STAFF",
      "SELECT abs(-1), coalesce(NULL, 1), ifnull(NULL, 2), iif(1, 3, 4), nullif(1, 2)",
      "SELECT length(upper(LAST_NAME) || lower(FIRST_NAME) || substr(POSITION, 1, 2)) FROM STAFF",
      "SELECT strftime('%Y', HIRED) = strftime('%Y', date(HIRED)), unixepoch(CHANGED_AT) > 0, "
      "julianday(datetime(CHANGED_AT)) > 0, typeof(time('now')) = 'text' FROM STAFF",
      "SELECT row_number() OVER (ORDER BY ID), rank() OVER (ORDER BY ID) FROM STAFF",
      "SELECT current_date > '2000', current_timestamp > '2000', length(current_time)",
  };
  for (const std::string& text : allowed) EXPECT_EQ(Ask(queries, text).refusal, "") << text;
  EXPECT_TRUE(IsQueryFunction("COUNT"));
  EXPECT_FALSE(IsQueryFunction("counts"));
}

// A query pays for what it reads within its limits, or is refused: a search over a long value
// cannot be written, a sort of large values stays in memory under the heap limit instead of
// writing temporary files, and a reply is cut short at its rows and its bytes before the
// packet is built.
TEST_F(QueryAttacks, AQueryCostsNoMoreThanItsLimits) {
  QueryConnection queries = Open(Role::kAdmin);
  const std::string long_value =
      "WITH RECURSIVE B(X) AS (SELECT 'ab' UNION ALL SELECT X || X FROM B WHERE length(X) < "
      "300000) ";
  struct Case {
    std::string text;
    QueryLimits limits;
    std::string refusal;
  };
  QueryLimits few_rows;
  few_rows.reply_rows = 1000;
  QueryLimits few_bytes;
  few_bytes.packet_bytes = 4096;
  const std::string five_million =
      "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C LIMIT 5000000) ";
  const Case cases[] = {
      {long_value + "SELECT instr(X, 'abba') FROM B",
       {},
       "80070005 Функция «instr» в запросах недоступна"},
      {long_value + "SELECT X LIKE '%ba%ab%bb%' FROM B",
       {},
       "80070005 Функция «like» в запросах недоступна"},
      {long_value + "SELECT length(replace(X, 'ab', 'ba')) FROM B",
       {},
       "80070005 Функция «replace» в запросах недоступна"},
      {long_value + "SELECT length(X) FROM B", {}, ""},
      {"WITH RECURSIVE B(X) AS (SELECT 'ab' UNION ALL SELECT X || X FROM B WHERE length(X) < "
       "2000000) SELECT length(X) FROM B",
       {},
       "80004005 Значение в запросе больше допустимых 1048576 байт"},
      {five_million + "SELECT X FROM C",
       {},
       "80004005 Ответ на запрос больше допустимых 100000 строк; сузьте запрос"},
      {five_million + "SELECT X FROM C", few_rows,
       "80004005 Ответ на запрос больше допустимых 1000 строк; сузьте запрос"},
      {five_million + "SELECT X, X, X FROM C", few_bytes,
       "80004005 Ответ на запрос больше допустимых 4096 байт; сузьте запрос"},
      {"WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C LIMIT 1000) SELECT X "
       "FROM C",
       few_rows, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 120));
    EXPECT_EQ(Ask(queries, c.text, c.limits).refusal, c.refusal);
    // A refused reply keeps no memory; one that is sent holds it until it has left.
    EXPECT_EQ(queries.reply.Bytes() == 0, !c.refusal.empty());
    queries.reply.Release();
  }
}

// Sorting large values needs memory, which comes from SQLite's heap within its limit rather
// than from temporary files without one: beyond the limit the query is refused.
TEST(QueryTemporaryStorage, SortingStaysWithinTheHeapLimit) {
  ScratchFolder folder;
  ServerSettings settings = Settings(folder.Path(), false);
  settings.heap_limit_bytes = 32ll << 20;
  AppServerCore core(settings);
  QueryConnection queries = core.OpenQueryConnection(Role::kAdmin);
  const std::string values =
      "WITH RECURSIVE B(X) AS (SELECT '0123456789abcdef' UNION ALL SELECT X || X FROM B WHERE "
      "length(X) < 500000), V(X) AS (SELECT X FROM B WHERE length(X) >= 500000), "
      "S(N) AS (SELECT 1 UNION ALL SELECT N + 1 FROM S LIMIT ";
  struct Case {
    int rows;  // of half a megabyte each
    std::string refusal;
  };
  const Case cases[] = {
      {8, ""},
      {200, "80004005 Запросу не хватило памяти, отведённой запросам на сервере"},
      {20, ""},
  };
  for (const Case& c : cases) {
    const Outcome outcome =
        Ask(queries, values + std::to_string(c.rows) + ") SELECT N FROM S, V ORDER BY N || X DESC");
    EXPECT_EQ(outcome.refusal, c.refusal) << c.rows;
    if (c.refusal.empty()) {
      EXPECT_EQ(outcome.values.size(), static_cast<std::size_t>(c.rows));
    }
  }
  sqlite3_hard_heap_limit64(256ll << 20);
}

// Replies share one budget of memory: while some are held (built, or not yet read by their
// clients), another that does not fit is refused as busy, and each gives its share back once
// it has left.
TEST(ReplyMemory, RepliesHeldAtOnceStayWithinTheirBudget) {
  ScratchFolder folder;
  ServerSettings settings = Settings(folder.Path(), false);
  const std::uint64_t row = kReplyBytesPerCell + 16;  // a reply of one column
  settings.reply_memory_bytes = 25000 * row;
  AppServerCore core(settings);
  const std::string ten_thousand =
      "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C LIMIT 10000) SELECT X FROM C";
  std::vector<QueryConnection> sessions;
  std::vector<std::string> outcomes;
  for (int i = 0; i < 4; ++i) {
    sessions.push_back(core.OpenQueryConnection(Role::kOperator));
    outcomes.push_back(Ask(sessions.back(), ten_thousand).refusal);
  }
  const std::string busy =
      "8001010a Сервер приложений занят отправкой других ответов; повторите запрос позже";
  EXPECT_EQ(outcomes, (std::vector<std::string>{"", "", busy, busy}));
  EXPECT_EQ(sessions[0].reply.Bytes() + sessions[1].reply.Bytes(), 20000 * row);
  EXPECT_EQ(sessions[2].reply.Bytes() + sessions[3].reply.Bytes(), 0u);
  sessions[0].reply.Release();  // its reply has left
  EXPECT_EQ(Ask(sessions[2], ten_thousand).refusal, "");
  sessions.clear();
  QueryConnection last = core.OpenQueryConnection(Role::kOperator);
  EXPECT_EQ(Ask(last, ten_thousand).refusal, "") << "every share was given back";
}

}  // namespace
