// A connection for tests: its AppServer yields a TestAppServer, or any value it is told to
// yield instead (nothing, a number, a null object), and it counts how often it was read.
#pragma once

#include <optional>

#include "com/com_ptr.h"
#include "com/ole_variant.h"
#include "server_client/remote_server.h"
#include "support/test_app_server.h"

namespace tvx::test {

class TTestRemoteServer : public TCustomRemoteServer {
  TVX_DECLARE_CLASS(TTestRemoteServer, TCustomRemoteServer)

  explicit TTestRemoteServer(TComponent* owner);

  // AppServer yields this server as VT_DISPATCH; the connection holds a reference to it.
  void SetServer(ComPtr<TestAppServer> server);
  // AppServer yields this value instead of the server.
  void SetAppServerValue(OleVariant value) { app_server_value_ = std::move(value); }
  int AppServerReads() const { return app_server_reads_; }

 protected:
  ~TTestRemoteServer() override;
  OleVariant GetAppServer() override;

 private:
  ComPtr<TestAppServer> server_;
  std::optional<OleVariant> app_server_value_;
  int app_server_reads_ = 0;
};

}  // namespace tvx::test
