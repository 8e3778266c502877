#include "support/test_remote_server.h"

#include "classes/class_builder.h"

namespace tvx::test {

TVX_IMPLEMENT_CLASS(TTestRemoteServer) {}

TTestRemoteServer::TTestRemoteServer(TComponent* owner) : TCustomRemoteServer(owner) {}

TTestRemoteServer::~TTestRemoteServer() = default;

void TTestRemoteServer::SetServer(ComPtr<TestAppServer> server) {
  server_ = std::move(server);
  app_server_value_.reset();
}

OleVariant TTestRemoteServer::GetAppServer() {
  ++app_server_reads_;
  if (app_server_value_) return *app_server_value_;
  return OleVariant::Dispatch(server_ ? server_->Dispatch() : nullptr);
}

}  // namespace tvx::test
