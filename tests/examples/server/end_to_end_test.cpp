// The server program and the client side of the connection together, as the module meets
// them: the history request and the exports through the module's own calls, errors as their
// text, bad frames, several hosts at once, clients that vanish and a server that is killed.
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "classes/object.h"
#include "com/bstr.h"
#include "connection/socket_remote_server.h"
#include "db/data_packet_reader.h"
#include "examples/server/server_fixture.h"
#include "server/exports/export_file.h"
#include "server_client/export_calls.h"
#include "server_client/provider_query.h"
#include "support/raised.h"

namespace {

using namespace tvx::example;
using namespace tvx::example::test;
using tvx::test::Capture;
using tvx::test::Raised;

constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT kRetryLater = static_cast<HRESULT>(0x8001010Au);
const char kHistory[] = "SELECT * FROM OK_EXPORT_HISTORY";

InvokeRequest ExportAll() {
  InvokeRequest request;
  request.method = "ExportAllData";
  return request;
}

tvx::TDateTime Day(int y, int m, int d) { return tvx::EncodeDate(y, m, d); }

tvx::TOwned<TSocketRemoteServer> Connect(std::uint16_t port) {
  ClientOptions options;
  options.port = port;
  options.user = kTestUser;
  options.password = kTestPassword;
  return tvx::CreateOwned<TSocketRemoteServer>(nullptr, options);
}

std::uint32_t HistoryRows(TSocketRemoteServer& connection) {
  const tvx::OleVariant reply = tvx::FetchAllRecords(connection, "dspQuery", kHistory);
  std::vector<std::uint8_t> bytes(reply->parray->rgsabound[0].cElements);
  std::memcpy(bytes.data(), reply->parray->pvData, bytes.size());
  return tvx::DataPacketReader(bytes).RowCount();
}

class EndToEndTest : public ::testing::Test {
 protected:
  std::filesystem::path Data() const { return folder_.Path() / "data"; }
  std::filesystem::path Exports() const { return Data() / "exports"; }
  Database Writer() const { return Database::OpenForWriting((Data() / "tavolex.db").string()); }

  ScratchFolder folder_;
};

TEST_F(EndToEndTest, HistoryAndExportsThroughTheModulesCalls) {
  ServerProcess server(Data(), {"--empty"});
  Database writer = Writer();
  const ChangedRows rows = InsertRowsChangedAt(
      writer, {"2024-01-31 23:59:59", "2024-02-01 00:00:00", "2024-02-29 23:59:59"});
  auto connection = Connect(server.Port());

  EXPECT_EQ(HistoryRows(*connection), 0u);
  tvx::CallExportData1C(*connection->AppServer(), Day(2024, 2, 1), Day(2024, 2, 29));
  tvx::CallExportAllData(*connection->AppServer());
  EXPECT_EQ(HistoryRows(*connection), 2u);

  EXPECT_EQ(FileNames(Exports()),
            (std::set<std::string>{"export-000001.xml", "export-000002.xml"}));
  EXPECT_EQ(ElementIds(ReadFile(Exports() / "export-000001.xml"), "Employee"),
            (std::set<std::int64_t>{rows.staff[1], rows.staff[2]}));
  EXPECT_EQ(ElementIds(ReadFile(Exports() / "export-000002.xml"), "Employee"),
            (std::set<std::int64_t>(rows.staff.begin(), rows.staff.end())));
  EXPECT_TRUE(
      server.WaitForLog("GetRecords dspQuery \"SELECT * FROM OK_EXPORT_HISTORY\" -> 2 rows"));
  EXPECT_TRUE(server.WaitForLog(
      "ExportData1C(2024-02-01 00:00:00, 2024-02-29 00:00:00, 1, 1, &Empty) -> export 1"));
}

TEST_F(EndToEndTest, ServerErrorsReachTheCallerAsTheirText) {
  ServerProcess server(Data(), {"--empty"});
  auto connection = Connect(server.Port());
  struct Case {
    const char* name;
    std::function<void()> action;
    std::string message;
  };
  const Case cases[] = {
      {"From after To",
       [&] { tvx::CallExportData1C(*connection->AppServer(), Day(2024, 3, 1), Day(2024, 2, 1)); },
       "Дата начала периода (01.03.2024) позже даты его окончания (01.02.2024)"},
      {"a statement that writes",
       [&] { tvx::FetchAllRecords(*connection, "dspQuery", "DELETE FROM STAFF"); },
       "Поставщик dspQuery выполняет только один запрос SELECT"},
      {"an unknown provider", [&] { tvx::FetchAllRecords(*connection, "dspStaff", kHistory); },
       "Поставщик данных «dspStaff» на сервере не найден"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Capture(c.action),
              (Raised{"EOleException", c.message, kInvalidArg, "Tavolex.AppServer"}));
  }
  EXPECT_EQ(HistoryRows(*connection), 0u);
}

// Frames that break the protocol: the server answers with an error that says why and closes
// that connection; a host connected meanwhile carries on over its own connection.
TEST_F(EndToEndTest, BadFramesCloseTheirConnectionOnly) {
  ServerProcess server(Data(), {"--empty"});
  auto bystander = Connect(server.Port());
  const tvx::ComPtr<tvx::IAppServer> held = bystander->GetServer();

  ByteWriter header;
  header.U32(2u << 20);
  header.U16(static_cast<std::uint16_t>(FrameType::kGetRecords));
  header.U16(0);
  struct Case {
    const char* name;
    bool greet;
    std::function<void(RawClient&)> send;
    std::string reply;
  };
  const Case cases[] = {
      {"frame larger than a request may be", true,
       [&](RawClient& c) { c.SendBytes(header.Data()); },
       "Неверный кадр: кадр длиной 2097152 байт больше допустимых 1048576"},
      {"reserved header field set", true,
       [](RawClient& c) {
         c.SendBytes({0, 0, 0, 0, 2, 0, 7, 0});
       },
       "Неверный кадр: в заголовке кадра занято резервное поле"},
      {"unknown frame type", true, [](RawClient& c) { c.Send(static_cast<FrameType>(0x42), {}); },
       "Неверный запрос: неизвестный тип кадра 0x0042"},
      {"second greeting", true,
       [](RawClient& c) { c.Send(FrameType::kHello, Encode(TestHello("again"))); },
       "Неверный запрос: повторное приветствие"},
      {"request cut short", true,
       [](RawClient& c) {
         c.Send(FrameType::kInvoke, {5, 0, 0, 0, 'E'});
       },
       "Неверный запрос: сообщение короче, чем заявлено"},
      {"request before the greeting", false,
       [](RawClient& c) { c.Send(FrameType::kInvoke, Encode(ExportAll())); },
       "Неверный запрос: соединение должно начинаться с приветствия"},
      {"greeting of another protocol", false,
       [](RawClient& c) {
         c.Send(FrameType::kHello, {'H', 'T', 'T', 'P', 1, 0, 0, 0, 0, 0});
       },
       "Неверный запрос: приветствие не от клиента сервера приложений"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawClient client(server.Port(), c.greet);
    c.send(client);
    const Frame reply = client.Receive();
    ASSERT_EQ(reply.type, FrameType::kError);
    EXPECT_EQ(DecodeErrorReply(reply.payload).description, c.reply);
    EXPECT_TRUE(client.ClosedByServer());
  }
  // The same connection as before, still served.
  tvx::OleVariant params = tvx::OleVariant::Null();
  tvx::OleVariant owner;
  tvx::OleVariant packet;
  int records = -1;
  const tvx::BStr provider(u"dspQuery");
  const tvx::BStr text(u"SELECT * FROM OK_EXPORT_HISTORY");
  EXPECT_EQ(held->AS_GetRecords(provider.Get(), -1, &records, 1, text.Get(), params.Get(),
                                owner.Get(), packet.Get()),
            S_OK);
  EXPECT_EQ(records, 0);
}

// The server runs one export at a time: a host refused because another one's export runs
// tries again, as an operator told so would.
TEST_F(EndToEndTest, SeveralHostsAtOnceEachGetTheirOwnExport) {
  ServerProcess server(Data(), {"--empty", "--quiet", "--exports-per-minute", "0"});
  constexpr int kHosts = 8;
  constexpr int kRounds = 5;
  std::vector<std::string> failures(kHosts);
  std::vector<std::thread> hosts;
  for (int h = 0; h < kHosts; ++h) {
    hosts.emplace_back([&, h] {
      auto connection = Connect(server.Port());
      for (int r = 0; r < kRounds;) {
        const Raised raised = Capture([&] {
          HistoryRows(*connection);
          tvx::CallExportData1C(*connection->AppServer(), Day(2024, 2, 1), Day(2024, 2, 29));
        });
        if (raised.code == kRetryLater) {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
          continue;
        }
        if (raised.class_name != "(nothing)") failures[h] = raised.message;
        ++r;
      }
    });
  }
  for (auto& host : hosts) host.join();
  for (const std::string& failure : failures) EXPECT_EQ(failure, "");
  auto connection = Connect(server.Port());
  EXPECT_EQ(HistoryRows(*connection), static_cast<std::uint32_t>(kHosts * kRounds));
  std::set<std::string> expected;
  for (int id = 1; id <= kHosts * kRounds; ++id) expected.insert(ExportFileName(id));
  EXPECT_EQ(FileNames(Exports()), expected);
}

// A host that loses its connection to a server that was restarted carries on with its next
// call: reading AppServer connects afresh.
TEST_F(EndToEndTest, HostCarriesOnAfterTheServerRestarts) {
  auto first = std::make_unique<ServerProcess>(Data(), std::vector<std::string>{"--empty"});
  const std::uint16_t port = first->Port();
  auto connection = Connect(port);
  tvx::CallExportAllData(*connection->AppServer());
  EXPECT_EQ(first->Stop(), 0);
  first.reset();
  ServerProcess second(Data(), {}, port);
  EXPECT_EQ(HistoryRows(*connection), 1u);
}

// A host that goes away while its export runs loses nothing: the export completes with its
// row and its file.
TEST_F(EndToEndTest, ClientVanishingMidExportLosesNothing) {
  ServerProcess server(Data(), {"--empty", "--pause-export", "before-commit:2000"});
  Database writer = Writer();
  InsertRowsChangedAt(writer, {"2024-02-01 12:00:00"});
  {
    RawClient client(server.Port());
    client.Send(FrameType::kInvoke, Encode(ExportAll()));
    ASSERT_TRUE(server.WaitForLog("test hook: export 1 paused before commit"));
  }  // the client vanishes here, in the middle of the export
  ASSERT_TRUE(server.WaitForLog("ExportAllData() -> export 1 ("));
  EXPECT_TRUE(server.WaitForLog(" disconnected"));
  Database reader = Writer();
  EXPECT_EQ(CountRows(reader, "OK_EXPORT_HISTORY"), 1);
  EXPECT_EQ(FileNames(Exports()), (std::set<std::string>{"export-000001.xml"}));
}

// The server killed at every step of an export: after a restart the export is either complete
// with its row and its file (killed after its commit) or gone without a trace (before it).
TEST_F(EndToEndTest, ServerKilledAtEachStepOfAnExportLeavesRowAndFileTogetherOrNeither) {
  struct Case {
    const char* stage;
    std::set<std::string> files_when_killed;
    std::int64_t rows;
    std::set<std::string> files;
    const char* recovery;
  };
  const std::set<std::string> temp = {".export-1.xml.tmp"};
  const std::set<std::string> done = {"export-000001.xml"};
  const char* removed = "removed unfinished export file .export-1.xml.tmp";
  const char* recovered = "recovered export 1: .export-1.xml.tmp -> export-000001.xml";
  const Case cases[] = {
      {"after-file", temp, 0, {}, removed},
      {"before-commit", temp, 0, {}, removed},
      {"after-commit", temp, 1, done, recovered},
      {"after-rename", done, 1, done, "serving "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stage);
    ScratchFolder folder;
    const auto data = folder.Path() / "data";
    std::int64_t staff = 0;
    {
      ServerProcess server(data, {"--empty", "--pause-export", std::string(c.stage) + ":60000"});
      Database writer = Database::OpenForWriting((data / "tavolex.db").string());
      staff = InsertRowsChangedAt(writer, {"2024-02-01 12:00:00"}).staff[0];
      RawClient client(server.Port());
      client.Send(FrameType::kInvoke, Encode(ExportAll()));
      ASSERT_TRUE(server.WaitForLog("test hook: export 1 paused"));
      EXPECT_EQ(FileNames(data / "exports"), c.files_when_killed);
      server.Kill();
    }
    ServerProcess restarted(data);
    EXPECT_TRUE(restarted.WaitForLog(c.recovery));
    Database reader = Database::OpenForWriting((data / "tavolex.db").string());
    EXPECT_EQ(CountRows(reader, "OK_EXPORT_HISTORY"), c.rows);
    EXPECT_EQ(CountRows(reader, "EXPORT_FILES"), c.rows);
    EXPECT_EQ(FileNames(data / "exports"), c.files);
    if (c.rows == 1) {
      EXPECT_EQ(ElementIds(ReadFile(data / "exports" / "export-000001.xml"), "Employee"),
                (std::set<std::int64_t>{staff}));
    }
    EXPECT_EQ(restarted.Log().find("has no file"), std::string::npos);
  }
}

// A committed export whose file is lost (a disk that dropped it, a hand that deleted it) is
// reported at the next start and by the admin verb's status.
TEST_F(EndToEndTest, ALostExportFileIsReportedAtStartAndByTheStatus) {
  {
    ServerProcess server(Data(), {"--empty"});
    RawClient client(server.Port());
    for (int i = 0; i < 2; ++i) {
      client.Send(FrameType::kInvoke, Encode(ExportAll()));
      ASSERT_EQ(client.Receive().type, FrameType::kInvokeReply);
    }
    EXPECT_EQ(server.Stop(), 0);
  }
  const std::string status_command = std::string(TVX_APP_SERVER_PATH) + " status --data '" +
                                     Data().string() + "' >'" + Data().string() + ".status'";
  EXPECT_EQ(std::system(status_command.c_str()), 0);
  EXPECT_EQ(ReadFile(Data().string() + ".status"),
            "history rows: 2, of them exports of this server with a file: 2, missing: 0\n");

  std::filesystem::remove(Exports() / "export-000001.xml");
  ServerProcess restarted(Data());
  const std::string lost =
      "export 1: its history row has no file export-000001.xml in " + Exports().string();
  EXPECT_TRUE(restarted.WaitForLog(lost));
  EXPECT_NE(std::system(status_command.c_str()), 0);
  EXPECT_EQ(
      ReadFile(Data().string() + ".status"),
      "history rows: 2, of them exports of this server with a file: 2, missing: 1\n" + lost + "\n");
}

}  // namespace
