// TCustomRemoteServer: the host's connection to the application server. The host owns it;
// the module refers to it and neither counts nor frees it.
#pragma once

#include <string_view>

#include "classes/component.h"
#include "com/com_ptr.h"
#include "com/ole_variant.h"
#include "server_client/app_server.h"

namespace tvx {

class TCustomRemoteServer : public TComponent {
  TVX_DECLARE_CLASS(TCustomRemoteServer, TComponent)

  explicit TCustomRemoteServer(TComponent* owner);

  // The server's automation object, obtained anew on every read.
  OleVariant AppServer() { return GetAppServer(); }

  // The provider interface of AppServer. Raises EVariantError "Invalid variant operation"
  // when AppServer holds no object, EIntfCastError "Interface not supported" when the
  // object is not an application server.
  ComPtr<IAppServer> GetServer();

 protected:
  ~TCustomRemoteServer() override;
  // Supplied by the connection: a VT_DISPATCH variant holding the server's object.
  virtual OleVariant GetAppServer() = 0;
};

}  // namespace tvx
