// The provider "dspQuery": what it refuses, and the packets it replies with.
#include <string>

#include <gtest/gtest.h>

#include "db/data_packet_reader.h"
#include "examples/server/server_fixture.h"
#include "rtl/datetime.h"
#include "server/common/request_error.h"
#include "server/core/app_server_core.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;

class QueryProviderTest : public ::testing::Test {
 protected:
  GetRecordsReply Query(const std::string& text, std::int32_t count = -1) {
    return core_.GetRecords(queries_,
                            GetRecordsRequest{"dspQuery", count, 1, text, WireValue::Null()});
  }
  // The refusal of a request: the text the client gets, then " | " and the detail that only
  // the log gets, if any; or "(accepted)".
  std::string Refusal(const GetRecordsRequest& request, const QueryLimits& limits = {}) {
    try {
      RunProviderQuery(queries_, request, limits);
    } catch (const RequestError& error) {
      return error.Message() + (error.Detail().empty() ? "" : " | " + error.Detail());
    }
    return "(accepted)";
  }
  std::string Refusal(const std::string& text) {
    return Refusal(GetRecordsRequest{"dspQuery", -1, 1, text, WireValue::Null()});
  }

  ScratchFolder folder_;
  AppServerCore core_{Settings(folder_.Path(), false)};
  Database writer_ = Database::OpenForWriting(core_.DatabasePath().string());
  QueryConnection queries_ = core_.OpenQueryConnection(Role::kAdmin);
};

TEST_F(QueryProviderTest, AnythingButOneSelectIsRefusedAndChangesNothing) {
  InsertRowsChangedAt(writer_, {"2024-02-01 10:00:00"});
  const std::string only_select = "Поставщик dspQuery выполняет только один запрос SELECT";
  const std::string several =
      "Текст запроса содержит больше одной команды; поставщик dspQuery выполняет только один "
      "запрос SELECT";
  const std::string attached = (folder_.Path() / "attached.db").string();
  struct Case {
    std::string text;
    std::string refusal;
  };
  const Case cases[] = {
      {"DELETE FROM STAFF", only_select},
      {"UPDATE STAFF SET SALARY = 0", only_select},
      {"INSERT INTO OK_EXPORT_HISTORY (EXPORT_DATE) VALUES ('2024-01-01 00:00:00')", only_select},
      {"DROP TABLE STAFF", only_select},
      {"CREATE TEMP TABLE T (X INTEGER)", only_select},
      {"PRAGMA table_info(STAFF)", only_select},
      {"ATTACH DATABASE '" + attached + "' AS OTHER", only_select},
      {"BEGIN", only_select},
      {"EXPLAIN SELECT 1", only_select},
      {"SELECT 1; SELECT 2", several},
      {"SELECT ID FROM STAFF; DELETE FROM STAFF", several},
      {"SELECT 1;;; DELETE FROM STAFF", several},
      {"SELECT 1; garbage", several},
      {"", "Текст запроса пуст"},
      {"  -- only a comment\n ; ", "Текст запроса пуст"},
      {"SELEC 1", "Ошибка в тексте запроса | near \"SELEC\": syntax error"},
      {"SELECT * FROM NO_SUCH_TABLE", "Ошибка в тексте запроса | no such table: NO_SUCH_TABLE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Refusal(c.text), c.refusal) << c.text;
  }
  EXPECT_EQ(CountRows(writer_, "STAFF"), 1);
  EXPECT_EQ(CountRows(writer_, "OK_EXPORT_HISTORY"), 0);
  EXPECT_FALSE(std::filesystem::exists(attached));
}

TEST_F(QueryProviderTest, ColumnsAndValuesThatAPacketCannotCarryAreNamed) {
  InsertRowsChangedAt(writer_, {"2024-02-01 10:00:00"});
  writer_.Execute("UPDATE STAFF SET HIRED = '2024-13-45'");
  struct Case {
    std::string text;
    std::string refusal;
  };
  const Case cases[] = {
      {"SELECT LAST_NAME FROM STAFF",
       "Столбец «LAST_NAME» имеет тип TEXT, а пакет данных передаёт только целые числа и даты"},
      {"SELECT 'x' AS T",
       "Столбец «T» содержит значение типа TEXT, а пакет данных передаёт только целые числа и "
       "даты"},
      {"SELECT 1.5 AS R",
       "Столбец «R» содержит значение типа REAL, а пакет данных передаёт только целые числа и "
       "даты"},
      {"SELECT 5000000000 AS BIG",
       "Значение 5000000000 в столбце «BIG» не помещается в 32-битное целое"},
      {"SELECT HIRED FROM STAFF", "Значение «2024-13-45» в столбце «HIRED» не является датой"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Refusal(c.text), c.refusal) << c.text;
  }
  EXPECT_EQ(Refusal("SELECT ID, ID FROM STAFF")
                .rfind("Результат запроса не передаётся пакетом данных: ", 0),
            0u);
}

TEST_F(QueryProviderTest, RequestsForOtherProvidersOrWithParametersAreRefused) {
  EXPECT_EQ(Refusal(GetRecordsRequest{"dspOther", -1, 1, "SELECT 1", WireValue::Null()}),
            "Поставщик данных «dspOther» на сервере не найден");
  EXPECT_EQ(Refusal(GetRecordsRequest{"dspQuery", -1, 1, "SELECT 1", WireValue::I4(1)}),
            "Поставщик dspQuery не принимает параметров запроса");
  EXPECT_EQ(Refusal(GetRecordsRequest{"DSPQUERY", -1, 1, "SELECT 1", WireValue::Empty()}),
            "(accepted)");
}

TEST_F(QueryProviderTest, RunawayAndOversizedQueriesAreStopped) {
  EXPECT_EQ(Refusal(GetRecordsRequest{"dspQuery", -1, 1,
                                      "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 "
                                      "FROM C) SELECT COUNT(*) FROM C",
                                      WireValue::Null()},
                    QueryLimits{.time = std::chrono::milliseconds(300)}),
            "Запрос выполнялся дольше 300 мс и прерван");
  EXPECT_EQ(Refusal(GetRecordsRequest{"dspQuery", -1, 1,
                                      "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 "
                                      "FROM C LIMIT 1000) SELECT X FROM C",
                                      WireValue::Null()},
                    QueryLimits{.packet_bytes = 4096}),
            "Ответ на запрос больше допустимых 4096 байт; сузьте запрос");
}

// Milliseconds since 30 December 1899, as a packet carries date-times.
std::int64_t Instant(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return static_cast<std::int64_t>(tvx::EncodeDate(y, m, d)) * 86400000 +
         ((h * 60 + n) * 60 + s) * 1000LL;
}

// Each role reads its own tables and columns, however a query reaches for the others: through
// a condition, a subquery, a common table expression or a function of the value.
TEST_F(QueryProviderTest, EachRoleReadsOnlyItsTablesAndColumns) {
  InsertRowsChangedAt(writer_, {"2024-02-01 10:00:00"});
  const std::string ok = "(accepted)";
  auto refused = [](const char* role, const char* what) {
    return std::string("Роль «") + role + "» не даёт читать " + what;
  };
  struct Case {
    Role role;
    std::string text;
    std::string outcome;
  };
  const Case cases[] = {
      {Role::kOperator, "SELECT * FROM OK_EXPORT_HISTORY", ok},
      {Role::kOperator, "SELECT ID, SALARY FROM STAFF", refused("operator", "STAFF.ID")},
      {Role::kOperator, "SELECT COUNT(*) FROM STAFF", refused("operator", "STAFF")},
      {Role::kOperator, "SELECT length(substr(LAST_NAME, 1, 1)) FROM STAFF",
       refused("operator", "STAFF.LAST_NAME")},
      {Role::kOperator, "SELECT ID FROM OK_EXPORT_HISTORY WHERE EXISTS (SELECT 1 FROM VACATIONS)",
       refused("operator", "VACATIONS")},
      {Role::kExport, "SELECT ID, HIRED, DISMISSED, CHANGED_AT FROM STAFF", ok},
      {Role::kExport, "SELECT ID, START_DATE FROM VACATIONS", ok},
      {Role::kExport, "SELECT ID, SALARY FROM STAFF", refused("export", "STAFF.SALARY")},
      {Role::kExport, "SELECT * FROM STAFF", refused("export", "STAFF.SALARY")},
      {Role::kExport, "SELECT ID FROM STAFF WHERE SALARY > 4000000",
       refused("export", "STAFF.SALARY")},
      {Role::kExport, "SELECT ID FROM STAFF ORDER BY SALARY", refused("export", "STAFF.SALARY")},
      {Role::kExport, "SELECT X FROM (SELECT SALARY / 100 AS X FROM STAFF)",
       refused("export", "STAFF.SALARY")},
      {Role::kExport, "WITH P AS (SELECT AMOUNT FROM EXTRA_PAY) SELECT SUM(AMOUNT) FROM P",
       refused("export", "EXTRA_PAY.AMOUNT")},
      {Role::kExport, "WITH P AS (SELECT ID FROM EXTRA_PAY) SELECT COUNT(*) FROM P", ok},
      {Role::kOperator, "WITH P AS (SELECT ID FROM EXTRA_PAY) SELECT COUNT(*) FROM P",
       refused("operator", "EXTRA_PAY.ID")},
      {Role::kOperator,
       "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C LIMIT 3) SELECT SUM(X) "
       "FROM C",
       ok},
      {Role::kAdmin, "SELECT ID, SALARY FROM STAFF", ok},
      {Role::kAdmin, "SELECT SUM(AMOUNT) FROM EXTRA_PAY", ok},
      {Role::kAdmin, "SELECT length(PASSWORD_HASH) FROM USERS",
       refused("admin", "USERS.PASSWORD_HASH")},
      {Role::kAdmin, "SELECT COUNT(*) FROM USERS", refused("admin", "USERS")},
      {Role::kAdmin, "SELECT length(sql) FROM sqlite_master",
       refused("admin", "sqlite_master.sql")},
  };
  for (const Case& c : cases) {
    QueryConnection queries = core_.OpenQueryConnection(c.role);
    std::string outcome = ok;
    try {
      RunProviderQuery(queries, GetRecordsRequest{"dspQuery", -1, 1, c.text, WireValue::Null()});
    } catch (const RequestError& error) {
      outcome = error.Message();
      if (error.Code() != kAccessDenied) outcome += " (not E_ACCESSDENIED)";
    }
    EXPECT_EQ(outcome, c.outcome) << RoleName(c.role) << ": " << c.text;
  }
}

TEST_F(QueryProviderTest, HistoryTravelsWithItsTypesAndValues) {
  writer_.Execute(
      "INSERT INTO OK_EXPORT_HISTORY (EXPORT_DATE, EXPORT_FROM, EXPORT_TO) VALUES "
      "('2024-01-05 10:30:15', '2023-12-01 00:00:00', '2023-12-31 00:00:00'), "
      "('2024-02-02 09:00:00', NULL, NULL)");
  const GetRecordsReply reply = Query("SELECT * FROM OK_EXPORT_HISTORY");
  EXPECT_EQ(reply.records_out, 2);
  ASSERT_EQ(reply.data.type, WireType::kBytes);
  const tvx::DataPacketReader packet(reply.data.bytes);
  ASSERT_EQ(packet.Columns().size(), 4u);
  const std::pair<const char*, tvx::TFieldType> expected[] = {{"ID", tvx::ftAutoInc},
                                                              {"EXPORT_DATE", tvx::ftDateTime},
                                                              {"EXPORT_FROM", tvx::ftDateTime},
                                                              {"EXPORT_TO", tvx::ftDateTime}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(packet.Columns()[i].name, expected[i].first);
    EXPECT_EQ(packet.Columns()[i].type, expected[i].second) << i;
  }
  EXPECT_FALSE(packet.Columns()[0].nullable);
  EXPECT_FALSE(packet.Columns()[1].nullable);
  EXPECT_TRUE(packet.Columns()[2].nullable);
  const auto values = packet.ReadValues({true, true, true, true});
  EXPECT_EQ(values[0].integers, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(values[1].instants[0], Instant(2024, 1, 5, 10, 30, 15));
  EXPECT_EQ(values[1].instants[1], Instant(2024, 2, 2, 9));
  EXPECT_EQ(values[2].instants[0], Instant(2023, 12, 1));
  EXPECT_TRUE(values[2].IsNull(1));
  EXPECT_EQ(values[3].instants[0], Instant(2023, 12, 31));
  EXPECT_TRUE(values[3].IsNull(1));
}

TEST_F(QueryProviderTest, AcceptedTextsAndRecordCounts) {
  InsertRowsChangedAt(writer_,
                      {"2024-02-01 10:00:00", "2024-02-02 10:00:00", "2024-02-03 10:00:00"});
  struct Case {
    std::string text;
    std::int32_t count;
    std::int32_t rows;
  };
  const Case cases[] = {
      {"SELECT ID, HIRED, DISMISSED FROM STAFF", -1, 3},
      {"  select ID from STAFF order by ID desc ;  -- the end\n ;", -1, 3},
      {"SELECT ID FROM STAFF", 2, 2},
      {"SELECT ID FROM STAFF", 0, 0},
      {"WITH S AS (SELECT ID FROM STAFF) SELECT COUNT(*) AS N, NULL AS BLANK FROM S", -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const GetRecordsReply reply = Query(c.text, c.count);
    EXPECT_EQ(reply.records_out, c.rows);
    EXPECT_EQ(tvx::DataPacketReader(reply.data.bytes).RowCount(),
              static_cast<std::uint32_t>(c.rows));
  }
  // A computed column takes the type of its values; one that is always null is an integer.
  const GetRecordsReply counted = Query("SELECT COUNT(*) AS N, NULL AS BLANK FROM STAFF");
  const tvx::DataPacketReader packet(counted.data.bytes);
  EXPECT_EQ(packet.Columns()[0].type, tvx::ftInteger);
  EXPECT_EQ(packet.Columns()[1].type, tvx::ftInteger);
  EXPECT_TRUE(packet.Columns()[1].nullable);
  EXPECT_EQ(packet.ReadValues({true, true})[0].integers[0], 3);
}

}  // namespace
