#include "server_client/remote_server.h"

#include "classes/class_builder.h"
#include "rtl/exceptions.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TCustomRemoteServer) {}

TCustomRemoteServer::TCustomRemoteServer(TComponent* owner) : TComponent(owner) {}

TCustomRemoteServer::~TCustomRemoteServer() = default;

ComPtr<IAppServer> TCustomRemoteServer::GetServer() {
  const OleVariant server = AppServer();
  IUnknown* object = nullptr;
  if (server->vt == VT_DISPATCH || server->vt == VT_UNKNOWN) object = server->punkVal;
  if (object == nullptr) throw EVariantError("Invalid variant operation");
  ComPtr<IAppServer> result = ComPtr<IUnknown>(object).Query<IAppServer>();
  if (!result) throw EIntfCastError("Interface not supported");
  return result;
}

}  // namespace tvx
