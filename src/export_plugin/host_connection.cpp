#include "export_plugin/host_connection.h"

#include <utility>

#include "classes/class_builder.h"
#include "server_client/ole_errors.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(THostConnection) {}

THostConnection::THostConnection(TComponent* owner, ComPtr<IRemoteConnection> connection)
    : TCustomRemoteServer(owner), connection_(std::move(connection)) {}

THostConnection::~THostConnection() = default;

OleVariant THostConnection::GetAppServer() {
  OleVariant app_server;
  CheckCallResult(connection_->GetAppServer(app_server.Put()), connection_.Get(),
                  tavolex::IidOf<IRemoteConnection>());
  return app_server;
}

}  // namespace tvx
