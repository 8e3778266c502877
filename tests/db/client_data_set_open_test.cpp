// Opening through a connection: the record set asks the test application server for the
// history, as the export dialog's record set asks the real one.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "com/bstr.h"
#include "history_fixture.h"
#include "server_client/app_server.h"
#include "support/history_table.h"
#include "support/raised.h"
#include "support/test_remote_server.h"

namespace tvx::test {
namespace {

class OpenThroughConnection : public HistoryFixture {
 protected:
  void SetUp() override {
    HistoryFixture::SetUp();
    connection = Create<TTestRemoteServer>(owner.get());
    connection->SetServer(server);
    cds->SetRemoteServer(connection);
    references = server->References();
  }
  void TearDown() override {
    owner.reset();
    EXPECT_EQ(server->References(), 1u) << "every reference to the server was released";
  }

  ComPtr<TestAppServer> server = TestAppServer::Create();
  TTestRemoteServer* connection = nullptr;
  ULONG references = 0;
};

TEST_F(OpenThroughConnection, MakesOneRequestForEveryRowAndOrdersTheReply) {
  const HistoryRow rows[] = {
      {1, 45291.5, 45200.0, 45291.0},
      {2, 45100.25, 45000.0, 45100.0},
      {3, 45291.5, 45291.0, 45300.0},
  };
  server->SetPacket(HistoryTable(rows));
  cds->Open();

  ASSERT_EQ(server->Calls().size(), 1u);
  const ReceivedCall& call = server->Calls()[0];
  EXPECT_EQ(call.method, "AS_GetRecords");
  ASSERT_EQ(call.arguments.size(), 6u);
  EXPECT_EQ(BStrView(call.arguments[0].value->bstrVal), u"dspQuery");
  EXPECT_EQ(call.arguments[1].value->lVal, -1);
  EXPECT_EQ(call.arguments[2].value->lVal, grMetaData);
  EXPECT_EQ(BStrView(call.arguments[3].value->bstrVal), u"SELECT * FROM OK_EXPORT_HISTORY");
  EXPECT_EQ(call.arguments[4].value.Type(), VT_NULL);   // params
  EXPECT_EQ(call.arguments[5].value.Type(), VT_EMPTY);  // owner data
  EXPECT_EQ(connection->AppServerReads(), 1);

  EXPECT_EQ(Ids(), (std::vector<int32_t>{2, 1, 3}));
  cds->Last();
  EXPECT_EQ(date->DisplayText(), "31.12.2023 12:00:00");
  EXPECT_EQ(to->DisplayText(), "09.01.2024");
  EXPECT_EQ(server->References(), references) << "the record set keeps no reference";

  // Moving and closing ask nothing more; opening again asks again.
  cds->First();
  cds->Close();
  EXPECT_EQ(server->Calls().size(), 1u);
  cds->Open();
  EXPECT_EQ(server->Calls().size(), 2u);
}

TEST_F(OpenThroughConnection, RaisesWhatTheReplyOrTheServerGetsWrong) {
  struct Case {
    std::function<void()> arrange;
    Raised raised;
  };
  const Case cases[] = {
      {[&] { server->SetReply(OleVariant()); },
       {"EDatabaseError", "Missing data provider or data packet", 0, ""}},
      {[&] { server->SetReply(OleVariant::Null()); },
       {"EDatabaseError", "Missing data provider or data packet", 0, ""}},
      {[&] { server->SetReply(OleVariant::Bytes(MalformedPacket())); },
       {"EDatabaseError", "Invalid data packet", 0, ""}},
      {[&] { server->FailGetRecords(E_FAIL, u"Table OK_EXPORT_HISTORY is locked."); },
       {"EOleException", "Table OK_EXPORT_HISTORY is locked", E_FAIL, "TestAppServer"}},
  };
  for (const Case& c : cases) {
    c.arrange();
    EXPECT_EQ(Capture([&] { cds->Open(); }), c.raised);
    EXPECT_FALSE(cds->Active());
  }
}

TEST_F(OpenThroughConnection, LetsGoOfAFreedConnection) {
  connection->Free();
  EXPECT_EQ(cds->RemoteServer(), nullptr);
  EXPECT_EQ(Capture([&] { cds->Open(); }),
            (Raised{"EDatabaseError", "Missing data provider or data packet", 0, ""}));
}

}  // namespace
}  // namespace tvx::test
