// The host's connection to the application server as the export dialog uses it: a
// TCustomRemoteServer whose AppServer the host's IRemoteConnection yields anew for every read.
// The host owns the connection; this object neither counts nor frees it.
#pragma once

#include "exporter/host_interfaces.h"
#include "server/remote_server.h"

namespace tvx {

class THostConnection : public TCustomRemoteServer {
  TVX_DECLARE_CLASS(THostConnection, TCustomRemoteServer)

  // connection must not be null and must outlive this object.
  THostConnection(TComponent* owner, IRemoteConnection* connection);

  IRemoteConnection* Connection() const { return connection_; }

 protected:
  ~THostConnection() override;
  // A failure of the host's call raises EOleException with the host's description (or
  // EOleSysError with the status's text).
  OleVariant GetAppServer() override;

 private:
  IRemoteConnection* connection_;
};

}  // namespace tvx
