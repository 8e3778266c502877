// What one client may take of the server: a query's values, memory and time, and the exports,
// one at a time and a bounded number a minute for each user.
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "connection/app_server_client.h"
#include "examples/server/server_fixture.h"
#include "server/common/request_error.h"
#include "server/exports/export_gate.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;
using namespace std::chrono_literals;

InvokeRequest ExportAll() {
  InvokeRequest request;
  request.method = "ExportAllData";
  return request;
}

// The refusal of a request: its code in hex and its text, or "(accepted)".
template <class Action>
std::string Refusal(Action action) {
  try {
    action();
  } catch (const RequestError& error) {
    char code[16];
    std::snprintf(code, sizeof code, "%08x ", static_cast<unsigned>(error.Code()));
    return code + error.Message();
  } catch (const ServerError& error) {
    char code[16];
    std::snprintf(code, sizeof code, "%08x ", static_cast<unsigned>(error.Code()));
    return code + error.Message();
  }
  return "(accepted)";
}

TEST(QueryLimits, ValuesBeyondTheLimitAreRefusedBeforeTheyAreMade) {
  ScratchFolder folder;
  AppServerCore core(Settings(folder.Path(), false));
  QueryConnection queries = core.OpenQueryConnection(Role::kAdmin);
  const std::string too_big = "80004005 Значение в запросе больше допустимых 1048576 байт";
  struct Case {
    std::string text;
    std::string refusal;
  };
  // Values built by concatenation, the one way left to make a long one.
  auto doubled_until = [](int bytes) {
    return "WITH RECURSIVE B(X) AS (SELECT '012' UNION ALL SELECT X || X FROM B "
           "WHERE length(X) < " +
           std::to_string(bytes) + ") SELECT length(X) FROM B";
  };
  const Case cases[] = {
      {doubled_until(2000000), too_big},
      {doubled_until(600000), "(accepted)"},
      {"SELECT " + std::string(200, '(') + "1" + std::string(200, ')'),
       "80070057 Ошибка в тексте запроса"},
      {"SELECT 1 " + std::string(100000, ' '), "80070057 Ошибка в тексте запроса"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Refusal([&] {
                RunProviderQuery(queries,
                                 GetRecordsRequest{"dspQuery", -1, 1, c.text, WireValue::Null()});
              }),
              c.refusal)
        << c.text.substr(0, 80);
  }
}

// Through the server: a runaway query is stopped at the time limit, a giant value refused, and
// the connection serves the next request.
TEST(QueryLimits, TheServerStopsRunawayQueriesAndCarriesOn) {
  ScratchFolder folder;
  ServerProcess server(folder.Path() / "data", {"--empty", "--query-timeout", "1"});
  ClientOptions options;
  options.port = server.Port();
  options.user = kTestUser;
  options.password = kTestPassword;
  AppServerClient client(options);
  client.Connect();
  auto query = [&](const std::string& text) {
    return Refusal([&] {
      client.GetRecords(GetRecordsRequest{"dspQuery", -1, 1, text, WireValue::Null()});
    });
  };
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(query("WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C) "
                  "SELECT COUNT(*) FROM C"),
            "80004005 Запрос выполнялся дольше 1000 мс и прерван");
  std::printf("the recursive query was stopped after %.0f ms\n",
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                  .count());
  EXPECT_EQ(query("WITH RECURSIVE B(X) AS (SELECT 'ab' UNION ALL SELECT X || X FROM B WHERE "
                  "length(X) < 2000000) SELECT length(X) FROM B"),
            "80004005 Значение в запросе больше допустимых 1048576 байт");
  EXPECT_EQ(query("SELECT * FROM OK_EXPORT_HISTORY"), "(accepted)");
}

TEST(ExportLimits, AnExportWhileAnotherRunsIsRefusedAtOnce) {
  ScratchFolder folder;
  ServerProcess server(folder.Path() / "data", {"--empty", "--pause-export", "before-commit:3000"});
  RawClient first(server.Port());
  first.Send(FrameType::kInvoke, Encode(ExportAll()));
  ASSERT_TRUE(server.WaitForLog("test hook: export 1 paused before commit"));

  RawClient second(server.Port());
  second.Send(FrameType::kInvoke, Encode(ExportAll()));
  const Frame refusal = second.Receive();
  ASSERT_EQ(refusal.type, FrameType::kError);
  const ErrorReply error = DecodeErrorReply(refusal.payload);
  EXPECT_EQ(error.code, kServerBusy);
  EXPECT_EQ(error.description, "Выполняется другая выгрузка; повторите попытку позже");
  // Refused while the first still waits before its commit: not queued behind it.
  EXPECT_EQ(server.Log().find("ExportAllData() -> export 1"), std::string::npos);

  EXPECT_EQ(first.Receive().type, FrameType::kInvokeReply);
  second.Send(FrameType::kInvoke, Encode(ExportAll()));
  EXPECT_EQ(second.Receive().type, FrameType::kInvokeReply);
  EXPECT_EQ(FileNames(folder.Path() / "data" / "exports"),
            (std::set<std::string>{"export-000001.xml", "export-000002.xml"}));
}

TEST(ExportLimits, AFloodOfExportsIsRefusedAfterTheRate) {
  ScratchFolder folder;
  ServerSettings settings = Settings(folder.Path() / "data", false);
  settings.exports_per_minute = 3;
  AppServerCore core(settings);
  const User ivanova{"ivanova", Role::kExport};
  const User petrov{"petrov", Role::kExport};
  std::vector<std::string> outcomes;
  for (int i = 0; i < 6; ++i) {
    outcomes.push_back(Refusal([&] { core.Invoke(ivanova, ExportAll()); }));
  }
  const std::string accepted = "(accepted)";
  const std::string refused =
      "8001010a Не больше 3 выгрузок в минуту; следующая возможна через 60 с";
  EXPECT_EQ(outcomes,
            (std::vector<std::string>{accepted, accepted, accepted, refused, refused, refused}));
  // Another user has exports of its own; the refused ones left nothing behind.
  EXPECT_EQ(Refusal([&] { core.Invoke(petrov, ExportAll()); }), accepted);
  EXPECT_EQ(FileNames(folder.Path() / "data" / "exports").size(), 4u);
}

TEST(ExportGate, TheRateIsPerUserOverTheLastMinute) {
  ExportGate gate(2);
  const User a{"a", Role::kExport};
  const User b{"b", Role::kExport};
  const auto t = ExportGate::Clock::now();
  auto admitted = [&](const User& user, ExportGate::Clock::duration at) {
    try {
      gate.Enter(user, t + at);
      return true;
    } catch (const RequestError&) {
      return false;
    }
  };
  EXPECT_TRUE(admitted(a, 0s));
  EXPECT_TRUE(admitted(a, 10s));
  EXPECT_FALSE(admitted(a, 59s));
  EXPECT_TRUE(admitted(b, 59s));
  EXPECT_TRUE(admitted(a, 60s)) << "the first has left the minute";
  EXPECT_FALSE(admitted(a, 69s));
  EXPECT_TRUE(admitted(a, 70s));
  ExportGate unlimited(0);
  for (int i = 0; i < 100; ++i) EXPECT_NO_THROW(unlimited.Enter(a, t));
}

}  // namespace
