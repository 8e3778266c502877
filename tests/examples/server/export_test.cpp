// Exports to the accounting system: which rows go into the file, what the history records,
// how arguments are checked, and that a failed or interrupted export leaves nothing half done.
#include <cmath>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "examples/server/server_fixture.h"
#include "rtl/datetime.h"
#include "server/common/request_error.h"
#include "server/core/app_server_core.h"
#include "server/exports/export_file.h"
#include "server/store/sql_time.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;
using Ids = std::set<std::int64_t>;

const User kExporter{"exporter", Role::kExport};

WireArgument Value(WireValue value) { return {Passing::kValue, std::move(value)}; }
WireArgument Result() { return {Passing::kVariantReference, WireValue::Empty()}; }
WireValue Day(int y, int m, int d) { return WireValue::Date(tvx::EncodeDate(y, m, d)); }

InvokeRequest Call(std::string method, std::vector<WireArgument> arguments = {}) {
  InvokeRequest request;
  request.method = std::move(method);
  request.arguments = std::move(arguments);
  return request;
}

InvokeRequest ExportChanges(WireValue from, WireValue to) {
  return Call("ExportData1C", {Value(std::move(from)), Value(std::move(to)),
                               Value(WireValue::I4(1)), Value(WireValue::I4(1)), Result()});
}

struct HistoryRow {
  std::string date, from, to;
};

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Two rows just outside February 2024 and two on its very edges.
    rows_ = InsertRowsChangedAt(writer_, {"2024-01-31 23:59:59", "2024-02-01 00:00:00",
                                          "2024-02-29 23:59:59", "2024-03-01 00:00:00"});
  }

  std::filesystem::path Exports() const { return folder_.Path() / "data" / "exports"; }
  HistoryRow History(std::int64_t id) {
    Statement row = writer_.Prepare(
        "SELECT EXPORT_DATE, EXPORT_FROM, EXPORT_TO FROM OK_EXPORT_HISTORY WHERE ID = ?");
    row.Bind(1, id);
    EXPECT_TRUE(row.Step());
    return {row.Text(0), row.Text(1), row.Text(2)};
  }
  // The rows of one kind picked by position in rows_.
  static Ids Pick(const std::vector<std::int64_t>& ids, std::initializer_list<std::size_t> at) {
    Ids picked;
    for (std::size_t i : at) picked.insert(ids[i]);
    return picked;
  }

  ScratchFolder folder_;
  std::unique_ptr<AppServerCore> core_ =
      std::make_unique<AppServerCore>(Settings(folder_.Path() / "data", false));
  Database writer_ = Database::OpenForWriting(core_->DatabasePath().string());
  ChangedRows rows_;
};

TEST_F(ExportTest, ChangesExportTakesTheRowsChangedOnTheDaysOfTheRange) {
  struct Case {
    const char* name;
    WireValue from, to;
    std::initializer_list<std::size_t> rows;
    std::string history_from, history_to;
  };
  const Case cases[] = {
      {"February", Day(2024, 2, 1), Day(2024, 2, 29), {1, 2}, "2024-02-01", "2024-02-29"},
      {"a time of day is ignored",
       WireValue::Date(tvx::EncodeDate(2024, 2, 1) + 0.75),
       WireValue::Date(tvx::EncodeDate(2024, 2, 29) + 0.25),
       {1, 2},
       "2024-02-01",
       "2024-02-29"},
      {"one day", Day(2024, 2, 1), Day(2024, 2, 1), {1}, "2024-02-01", "2024-02-01"},
      {"a day without changes", Day(2024, 2, 2), Day(2024, 2, 2), {}, "2024-02-02", "2024-02-02"},
      {"everything", Day(1900, 1, 1), Day(9999, 12, 31), {0, 1, 2, 3}, "1900-01-01", "9999-12-31"},
  };
  std::int64_t id = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string today = SqlDate(tvx::Date());
    const InvokeReply reply = core_->Invoke(kExporter, ExportChanges(c.from, c.to));
    ++id;
    ASSERT_EQ(reply.references.size(), 1u);
    EXPECT_EQ(reply.references[0],
              (ReturnedReference{4, WireValue::I4(static_cast<std::int32_t>(id))}));

    const HistoryRow history = History(id);
    EXPECT_EQ(history.from, c.history_from + " 00:00:00");
    EXPECT_EQ(history.to, c.history_to + " 00:00:00");
    EXPECT_EQ(history.date.substr(0, 10), today);

    const std::string xml = ReadFile(Exports() / ExportFileName(id));
    EXPECT_NE(
        xml.find("mode=\"changes\" from=\"" + c.history_from + "\" to=\"" + c.history_to + "\""),
        std::string::npos);
    EXPECT_EQ(ElementIds(xml, "Employee"), Pick(rows_.staff, c.rows));
    EXPECT_EQ(ElementIds(xml, "Vacation"), Pick(rows_.vacations, c.rows));
    EXPECT_EQ(ElementIds(xml, "Payment"), Pick(rows_.extra_pay, c.rows));
  }
  EXPECT_EQ(CountRows(writer_, "OK_EXPORT_HISTORY"), id);
  EXPECT_EQ(FileNames(Exports()).size(), static_cast<std::size_t>(id));
}

TEST_F(ExportTest, FullExportTakesEveryRowAndRecordsItsRangeUpToToday) {
  const InvokeReply reply = core_->Invoke(kExporter, Call("exportalldata"));
  EXPECT_TRUE(reply.references.empty());
  const std::string today = SqlDate(tvx::Date());
  const HistoryRow history = History(1);
  EXPECT_EQ(history.from, "2024-01-31 00:00:00");  // the earliest change exported
  EXPECT_EQ(history.to, today + " 00:00:00");
  EXPECT_EQ(FileNames(Exports()), (std::set<std::string>{"export-000001.xml"}));
  const std::string xml = ReadFile(Exports() / "export-000001.xml");
  EXPECT_EQ(
      xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ExportTo1C version=\"1\" id=\"1\"",
                0),
      0u);
  EXPECT_NE(xml.find("mode=\"full\" from=\"2024-01-31\" to=\"" + today + "\""), std::string::npos);
  EXPECT_EQ(ElementIds(xml, "Employee"), Pick(rows_.staff, {0, 1, 2, 3}));
  EXPECT_EQ(ElementIds(xml, "Vacation"), Pick(rows_.vacations, {0, 1, 2, 3}));
  EXPECT_EQ(ElementIds(xml, "Payment"), Pick(rows_.extra_pay, {0, 1, 2, 3}));
  EXPECT_NE(xml.find("lastName=\"Тестов\""), std::string::npos);
  EXPECT_NE(xml.find("amount=\"10000.00\""), std::string::npos);
}

TEST_F(ExportTest, WrongArgumentsAreRefusedWithTheirReasonAndExportNothing) {
  struct Case {
    const char* name;
    InvokeRequest request;
    std::int32_t code;
    std::string message;
  };
  const WireValue feb1 = Day(2024, 2, 1);
  const WireValue mar1 = Day(2024, 3, 1);
  auto with = [&](std::size_t at, WireArgument argument) {
    InvokeRequest request = ExportChanges(feb1, mar1);
    request.arguments[at] = std::move(argument);
    return request;
  };
  const Case cases[] = {
      {"full export with an argument", Call("ExportAllData", {Value(feb1)}), kBadParamCount,
       "Метод ExportAllData вызывается без аргументов, передано 1"},
      {"four arguments",
       Call("ExportData1C",
            {Value(feb1), Value(mar1), Value(WireValue::I4(1)), Value(WireValue::I4(1))}),
       kBadParamCount,
       "Метод ExportData1C принимает 5 аргументов (From, To, FileVersion, Encoding, Result), "
       "передано 4"},
      {"From as a string", with(0, Value(WireValue::String("01.02.2024"))), kTypeMismatch,
       "Аргумент From метода ExportData1C должен быть датой (VT_DATE), передан VT_BSTR"},
      {"To as a number", with(1, Value(WireValue::I4(45000))), kTypeMismatch,
       "Аргумент To метода ExportData1C должен быть датой (VT_DATE), передан VT_I4"},
      {"From not a number", with(0, Value(WireValue::Date(std::nan("")))), kInvalidArgument,
       "Аргумент From метода ExportData1C не является датой"},
      {"To past the calendar", with(1, Value(WireValue::Date(3e6))), kInvalidArgument,
       "Аргумент To метода ExportData1C не является датой"},
      {"From after To", ExportChanges(mar1, feb1), kInvalidArgument,
       "Дата начала периода (01.03.2024) позже даты его окончания (01.02.2024)"},
      {"file version 2", with(2, Value(WireValue::I4(2))), kInvalidArgument,
       "Аргумент FileVersion метода ExportData1C должен быть равен 1, передано 2"},
      {"encoding as a real", with(3, Value(WireValue::R8(1))), kTypeMismatch,
       "Аргумент Encoding метода ExportData1C должен быть целым числом, передан VT_R8"},
      {"result by value", with(4, Value(WireValue::Empty())), kTypeMismatch,
       "Аргумент Result метода ExportData1C передаётся по ссылке на вариант (VT_BYREF|VT_VARIANT)"},
      {"unknown method", Call("ExportEverything"), kUnknownMember,
       "Метод «ExportEverything» сервером приложений не поддерживается"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      core_->Invoke(kExporter, c.request);
      ADD_FAILURE() << "accepted";
    } catch (const RequestError& error) {
      EXPECT_EQ(error.Code(), c.code);
      EXPECT_EQ(error.Message(), c.message);
    }
  }
  EXPECT_EQ(CountRows(writer_, "OK_EXPORT_HISTORY"), 0);
  EXPECT_TRUE(FileNames(Exports()).empty());
  // The typed forms that the checks accept besides VT_I4.
  EXPECT_NO_THROW(core_->Invoke(kExporter, with(2, Value(WireValue::I2(1)))));
}

// The export cannot write its file (its temporary name is taken by a folder): the history
// row is rolled back, no file is left, and the next export goes through with the same ID.
TEST_F(ExportTest, FailedExportLeavesNeitherRowNorFile) {
  const std::filesystem::path blocker = Exports() / ".export-1.xml.tmp";
  std::filesystem::create_directories(blocker / "inside");
  try {
    core_->Invoke(kExporter, Call("ExportAllData"));
    ADD_FAILURE() << "the export went through";
  } catch (const RequestError& error) {
    EXPECT_EQ(error.Code(), kFailed);
    // The client is told what failed; where and why are for the log.
    EXPECT_EQ(error.Message(), "Не удалось создать файл выгрузки");
    EXPECT_EQ(error.Detail().rfind(blocker.string() + ": ", 0), 0u) << error.Detail();
  }
  EXPECT_EQ(CountRows(writer_, "OK_EXPORT_HISTORY"), 0);
  EXPECT_EQ(FileNames(Exports()), (std::set<std::string>{".export-1.xml.tmp"}));

  std::filesystem::remove_all(blocker);
  core_->Invoke(kExporter, Call("ExportAllData"));
  EXPECT_EQ(CountRows(writer_, "OK_EXPORT_HISTORY"), 1);
  EXPECT_EQ(FileNames(Exports()), (std::set<std::string>{"export-000001.xml"}));
}

// Once committed, an export is complete: a rename that fails (the final name is taken by a
// folder here) leaves the file under its temporary name, which the next start puts right.
TEST_F(ExportTest, ARenameFailureAfterTheCommitCompletesTheExport) {
  std::filesystem::create_directories(Exports() / "export-000001.xml" / "inside");
  ExportOutcome outcome;
  EXPECT_NO_THROW(core_->Invoke(kExporter, Call("ExportAllData"), &outcome));
  EXPECT_EQ(outcome.id, 1);
  EXPECT_EQ(CountRows(writer_, "OK_EXPORT_HISTORY"), 1);
  EXPECT_EQ(FileNames(Exports()),
            (std::set<std::string>{".export-1.xml.tmp", "export-000001.xml"}));

  core_.reset();  // a start while the name is still taken reports it and goes on
  core_ = std::make_unique<AppServerCore>(Settings(folder_.Path() / "data"));
  EXPECT_EQ(FileNames(Exports()),
            (std::set<std::string>{".export-1.xml.tmp", "export-000001.xml"}));
  core_.reset();
  std::filesystem::remove_all(Exports() / "export-000001.xml");
  core_ = std::make_unique<AppServerCore>(Settings(folder_.Path() / "data"));
  EXPECT_EQ(FileNames(Exports()), (std::set<std::string>{"export-000001.xml"}));
  EXPECT_EQ(ElementIds(ReadFile(Exports() / "export-000001.xml"), "Employee"),
            (Ids(rows_.staff.begin(), rows_.staff.end())));
}

// What a crash leaves behind is put right at the next start: the file of a committed export
// gets its name, the file of an export whose row never committed goes; nothing else is touched.
TEST_F(ExportTest, StartUpFinishesCommittedExportsAndRemovesTheOthers) {
  writer_.Execute(
      "INSERT INTO OK_EXPORT_HISTORY (EXPORT_DATE, EXPORT_FROM, EXPORT_TO) VALUES "
      "('2024-03-01 10:00:00', '2024-02-01 00:00:00', '2024-02-29 00:00:00')");
  core_.reset();
  auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(Exports() / name) << text;
  };
  write(".export-1.xml.tmp", "committed");
  write(".export-2.xml.tmp", "never committed");
  write(".export-x.xml.tmp", "not ours");
  write("notes.txt", "not ours");
  core_ = std::make_unique<AppServerCore>(Settings(folder_.Path() / "data"));
  EXPECT_EQ(FileNames(Exports()),
            (std::set<std::string>{"export-000001.xml", ".export-x.xml.tmp", "notes.txt"}));
  EXPECT_EQ(ReadFile(Exports() / "export-000001.xml"), "committed");
}

TEST_F(ExportTest, OnlyRolesThatMayExportExport) {
  try {
    core_->Invoke(User{"petrov", Role::kOperator}, Call("ExportAllData"));
    ADD_FAILURE() << "an operator exported";
  } catch (const RequestError& error) {
    EXPECT_EQ(error.Code(), kAccessDenied);
    EXPECT_EQ(error.Message(), "Роль «operator» не даёт выгружать данные; нужна роль export");
  }
  EXPECT_EQ(CountRows(writer_, "OK_EXPORT_HISTORY"), 0);
  EXPECT_EQ(FileNames(Exports()), (std::set<std::string>{}));
  core_->Invoke(User{"ivanova", Role::kAdmin}, Call("ExportAllData"));
  EXPECT_EQ(CountRows(writer_, "OK_EXPORT_HISTORY"), 1);
}

// Personnel data are for the server's own user: the folders it creates, the database with its
// WAL and the export files are closed to everyone else.
TEST_F(ExportTest, DatabaseAndExportFilesAreTheOwnersAlone) {
  const ExportOutcome done = [&] {
    ExportOutcome outcome;
    core_->Invoke(kExporter, Call("ExportAllData"), &outcome);
    return outcome;
  }();
  auto mode = [](const std::filesystem::path& path) {
    return std::filesystem::status(path).permissions() & std::filesystem::perms::all;
  };
  const auto owner_rw = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
  const auto data = folder_.Path() / "data";
  for (const auto& file : {data / kDatabaseFileName, data / "tavolex.db-wal", data / "server.lock",
                           Exports() / done.file_name}) {
    EXPECT_EQ(mode(file), owner_rw) << file;
  }
  EXPECT_EQ(mode(data), std::filesystem::perms::owner_all);
  EXPECT_EQ(mode(Exports()), std::filesystem::perms::owner_all);
}

TEST_F(ExportTest, OneServerPerDataFolder) {
  try {
    AppServerCore second(Settings(folder_.Path() / "data"));
    ADD_FAILURE() << "a second server opened the same folder";
  } catch (const tvx::Exception& error) {
    EXPECT_NE(error.Message().find("занята другим сервером приложений"), std::string::npos);
  }
}

TEST(SampleDatabase, FirstStartCreatesStaffAndThreeYearsOfMonthlyExports) {
  ScratchFolder folder;
  const auto data = folder.Path() / "data";
  { AppServerCore core(Settings(data)); }
  Database db = Database::OpenForWriting((data / kDatabaseFileName).string());
  EXPECT_EQ(CountRows(db, "STAFF"), 42);
  EXPECT_GT(CountRows(db, "VACATIONS"), 42);
  EXPECT_GT(CountRows(db, "EXTRA_PAY"), 36);
  const std::int64_t exports = CountRows(db, "OK_EXPORT_HISTORY");
  EXPECT_GE(exports, 36);
  EXPECT_LE(exports, 38);
  Statement wrong = db.Prepare(
      "SELECT COUNT(*) FROM OK_EXPORT_HISTORY WHERE EXPORT_FROM > EXPORT_TO OR "
      "EXPORT_TO > EXPORT_DATE OR EXPORT_DATE > ?");
  wrong.Bind(1, SqlDateTime(tvx::Now()));
  wrong.Step();
  EXPECT_EQ(wrong.Int(0), 0);
  Statement latest = db.Prepare("SELECT MAX(EXPORT_DATE) FROM OK_EXPORT_HISTORY");
  latest.Step();
  EXPECT_GT(*ParseSqlDateTime(latest.Text(0)), tvx::Date() - 40);
  // A second start keeps what is there.
  db.Execute("DELETE FROM EXTRA_PAY");
  { AppServerCore core(Settings(data)); }
  EXPECT_EQ(CountRows(db, "EXTRA_PAY"), 0);
  EXPECT_EQ(CountRows(db, "STAFF"), 42);
}

}  // namespace
