#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classes/object.h"
#include "com/bstr.h"
#include "com/ole_variant.h"
#include "server_client/ole_errors.h"
#include "server_client/provider_query.h"
#include "support/history_table.h"
#include "support/raised.h"
#include "support/test_remote_server.h"

namespace tvx::test {
namespace {

using tvx::ComPtr;

constexpr char kCommand[] = "SELECT * FROM OK_EXPORT_HISTORY";

std::vector<uint8_t> BytesOf(const VARIANT& v) {
  EXPECT_EQ(v.vt, VT_ARRAY | VT_UI1);
  if (v.vt != (VT_ARRAY | VT_UI1)) return {};
  const auto* first = static_cast<const uint8_t*>(v.parray->pvData);
  return {first, first + v.parray->rgsabound[0].cElements};
}

class ProviderQueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    connection_->SetServer(server_);
    start_references_ = server_->References();
  }
  void TearDown() override { EXPECT_EQ(server_->References(), start_references_); }

  OleVariant Fetch() { return tvx::FetchAllRecords(*connection_, "dspQuery", kCommand); }

  ComPtr<TestAppServer> server_ = TestAppServer::Create();
  tvx::TOwned<TTestRemoteServer> connection_ = tvx::CreateOwned<TTestRemoteServer>(nullptr);
  ULONG start_references_ = 0;
};

TEST_F(ProviderQueryTest, AsksForEveryRowWithColumnsAndReturnsThePacket) {
  const HistoryRow rows[] = {{1, 41000.5, 40990.0, 40999.0}, {2, 41030.25, 40999.0, 41030.0}};
  const std::vector<uint8_t> packet = HistoryTable(rows).Encode();
  server_->SetPacket(HistoryTable(rows));

  const OleVariant reply = Fetch();
  EXPECT_EQ(BytesOf(*reply), packet);

  ASSERT_EQ(server_->Calls().size(), 1u);
  const ReceivedCall& call = server_->Calls()[0];
  EXPECT_EQ(call.method, "AS_GetRecords");
  ASSERT_EQ(call.arguments.size(), 6u);
  EXPECT_EQ(tvx::BStrView(call.arguments[0].value->bstrVal), u"dspQuery");
  EXPECT_EQ(call.arguments[1].value->lVal, -1);
  EXPECT_EQ(call.arguments[2].value->lVal, tvx::grMetaData);
  EXPECT_EQ(tvx::BStrView(call.arguments[3].value->bstrVal), u"SELECT * FROM OK_EXPORT_HISTORY");
  EXPECT_EQ(call.arguments[4].vt, VT_BYREF | VT_VARIANT);
  EXPECT_EQ(call.arguments[4].value.Type(), VT_NULL);   // Params
  EXPECT_EQ(call.arguments[5].value.Type(), VT_EMPTY);  // OwnerData
  EXPECT_EQ(connection_->AppServerReads(), 1);
}

TEST_F(ProviderQueryTest, RepliesThatAreNoPacketArePassedOnForTheRecordSetToJudge) {
  const OleVariant replies[] = {OleVariant(), OleVariant::Null(),
                                OleVariant::Bytes(MalformedPacket())};
  for (const OleVariant& sent : replies) {
    server_->SetReply(sent);
    const OleVariant reply = Fetch();
    EXPECT_EQ(reply.Type(), sent.Type());
  }
}

TEST_F(ProviderQueryTest, FailuresCarryTheServersErrorInfo) {
  server_->FailGetRecords(E_FAIL, u"Provider dspQuery not found.\r\n");
  EXPECT_EQ(Capture([&] { Fetch(); }),
            (Raised{"EOleException", "Provider dspQuery not found", E_FAIL, "TestAppServer"}));
  // The error info was taken: none is left on the thread.
  ComPtr<IErrorInfo> left;
  EXPECT_EQ(GetErrorInfo(0, left.Put()), S_FALSE);
}

TEST_F(ProviderQueryTest, FailuresWithoutErrorInfoRaiseTheStatus) {
  server_->FailGetRecords(static_cast<HRESULT>(0x8004ABCDu));
  EXPECT_EQ(Capture([&] { Fetch(); }),
            (Raised{"EOleSysError", "OLE error 8004abcd", static_cast<int32_t>(0x8004ABCDu), ""}));
}

TEST_F(ProviderQueryTest, AConnectionWithoutServerRaisesBeforeAnyCall) {
  connection_->SetAppServerValue(OleVariant());
  EXPECT_EQ(Capture([&] { Fetch(); }),
            (Raised{"EVariantError", "Invalid variant operation", 0, ""}));
  EXPECT_TRUE(server_->Calls().empty());
}

}  // namespace
}  // namespace tvx::test
