#include "exporter/host_connection.h"

#include "classes/class_builder.h"
#include "server/ole_errors.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(THostConnection) {}

THostConnection::THostConnection(TComponent* owner, IRemoteConnection* connection)
    : TCustomRemoteServer(owner), connection_(connection) {}

THostConnection::~THostConnection() = default;

OleVariant THostConnection::GetAppServer() {
  OleVariant app_server;
  CheckCallResult(connection_->GetAppServer(app_server.Put()), connection_,
                  IidOf<IRemoteConnection>());
  return app_server;
}

}  // namespace tvx
