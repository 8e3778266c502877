// A host's connection to the application server over the network: a TCustomRemoteServer
// whose AppServer yields a RemoteAppServer. Reading AppServer connects when there is no
// usable connection (never made, failed, or closed by the server meanwhile), so a host that
// outlives a server restart carries on with its next call. A request already sent is never
// repeated.
//
//   ClientOptions options;
//   options.port = 2110;
//   TOwned<TSocketRemoteServer> connection = CreateOwned<TSocketRemoteServer>(nullptr, options);
//   OleVariant server = connection->AppServer();  // VT_DISPATCH, or EOleException
#pragma once

#include "com/com_ptr.h"
#include "connection/app_server_client.h"
#include "connection/remote_app_server.h"
#include "server_client/remote_server.h"

namespace tvx::example {

class TSocketRemoteServer : public TCustomRemoteServer {
  TVX_DECLARE_CLASS(TSocketRemoteServer, TCustomRemoteServer)

  explicit TSocketRemoteServer(TComponent* owner, ClientOptions options = {});

  const ClientOptions& Options() const { return options_; }
  // Takes effect at the next connection; the current one is dropped.
  void SetOptions(ClientOptions options);

  // Holds a connection that the server has not closed.
  bool Connected();
  void Disconnect();

 protected:
  ~TSocketRemoteServer() override;
  // Raises EOleException (code RPC_E_DISCONNECTED, source kConnectionErrorSource) with the
  // text "Нет связи с сервером приложений (host:port): <reason>" when it cannot connect.
  OleVariant GetAppServer() override;

 private:
  ClientOptions options_;
  ComPtr<RemoteAppServer> server_;
};

}  // namespace tvx::example
