#include "connection/socket_remote_server.h"

#include "classes/class_builder.h"
#include "rtl/exceptions.h"

namespace tvx::example {

TVX_IMPLEMENT_CLASS(TSocketRemoteServer) {}

TSocketRemoteServer::TSocketRemoteServer(TComponent* owner, ClientOptions options)
    : TCustomRemoteServer(owner), options_(std::move(options)) {}

TSocketRemoteServer::~TSocketRemoteServer() {
  if (server_) server_->Disconnect();
}

void TSocketRemoteServer::SetOptions(ClientOptions options) {
  Disconnect();
  options_ = std::move(options);
}

bool TSocketRemoteServer::Connected() { return server_ && server_->Usable(); }

void TSocketRemoteServer::Disconnect() {
  if (server_) server_->Disconnect();
  server_ = nullptr;
}

OleVariant TSocketRemoteServer::GetAppServer() {
  if (!Connected()) {
    // Whoever still holds the old object keeps a closed connection; a new object gets the
    // new one.
    server_ = nullptr;
    try {
      server_ = RemoteAppServer::Connect(options_);
    } catch (const ConnectionError& error) {
      throw EOleException(error.Message(), RPC_E_DISCONNECTED, kConnectionErrorSource);
    }
  }
  return OleVariant::Dispatch(server_->Dispatch());
}

}  // namespace tvx::example
