// The host's connection to the application server as the export dialog uses it: a
// TCustomRemoteServer whose AppServer the host's IRemoteConnection yields anew for every read.
// It holds a reference to the connection, released when it is freed.
#pragma once

#include "com/com_ptr.h"
#include "export_plugin/host_interfaces.h"
#include "server_client/remote_server.h"

namespace tvx {

class THostConnection : public TCustomRemoteServer {
  TVX_DECLARE_CLASS(THostConnection, TCustomRemoteServer)

  // connection must not be null.
  THostConnection(TComponent* owner, ComPtr<IRemoteConnection> connection);

  IRemoteConnection* Connection() const { return connection_.Get(); }

 protected:
  ~THostConnection() override;
  // A failure of the host's call raises EOleException with the host's description (or
  // EOleSysError with the status's text).
  OleVariant GetAppServer() override;

 private:
  ComPtr<IRemoteConnection> connection_;
};

}  // namespace tvx
