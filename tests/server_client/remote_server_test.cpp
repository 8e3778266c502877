#include <gtest/gtest.h>

#include "classes/object.h"
#include "com/ole_variant.h"
#include "server_client/export_calls.h"
#include "server_client/remote_server.h"
#include "support/raised.h"
#include "support/test_remote_server.h"

namespace tvx::test {
namespace {

using tvx::ComPtr;

class RemoteServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    connection_->SetServer(server_);
    start_references_ = server_->References();
  }
  void TearDown() override { EXPECT_EQ(server_->References(), start_references_); }

  ComPtr<TestAppServer> server_ = TestAppServer::Create();
  tvx::TOwned<TTestRemoteServer> connection_ = tvx::CreateOwned<TTestRemoteServer>(nullptr);
  ULONG start_references_ = 0;
};

TEST_F(RemoteServerTest, AppServerIsObtainedAnewOnEveryRead) {
  const OleVariant first = connection_->AppServer();
  EXPECT_EQ(first.Type(), VT_DISPATCH);
  EXPECT_EQ(first->pdispVal, server_->Dispatch());
  EXPECT_EQ(server_->References(), start_references_ + 1);
  tvx::CallExportAllData(*connection_->AppServer());
  tvx::CallExportData1C(*connection_->AppServer(), 41000.0, 41000.0);
  EXPECT_EQ(connection_->AppServerReads(), 3);
  EXPECT_EQ(server_->Calls().size(), 2u);
}

TEST_F(RemoteServerTest, GetServerGivesTheProviderInterface) {
  {
    const ComPtr<tvx::IAppServer> provider = connection_->GetServer();
    ASSERT_TRUE(provider);
    EXPECT_EQ(static_cast<IDispatch*>(provider.Get()), server_->Dispatch());
    EXPECT_EQ(server_->References(), start_references_ + 1);
  }
  EXPECT_EQ(connection_->AppServerReads(), 1);
}

TEST_F(RemoteServerTest, GetServerRefusesWhatIsNoApplicationServer) {
  const Raised no_object{"EVariantError", "Invalid variant operation", 0, ""};
  const OleVariant values[] = {OleVariant(), OleVariant::Null(), OleVariant::I4(1),
                               OleVariant::Dispatch(nullptr)};
  for (const OleVariant& value : values) {
    connection_->SetAppServerValue(value);
    EXPECT_EQ(Capture([&] { connection_->GetServer(); }), no_object) << value.Type();
  }

  connection_->SetServer(server_);
  server_->SetOffersAppServer(false);
  EXPECT_EQ(Capture([&] { connection_->GetServer(); }),
            (Raised{"EIntfCastError", "Interface not supported", 0, ""}));
}

TEST_F(RemoteServerTest, TheConnectionIsAComponentOfTheModel) {
  EXPECT_EQ(connection_->ClassName(), "TTestRemoteServer");
  EXPECT_TRUE(connection_->InheritsFrom(tvx::TCustomRemoteServer::StaticClass()));
}

}  // namespace
}  // namespace tvx::test
