// The connection that a host's directory hands the module (IRemoteConnection): the example's
// TSocketRemoteServer, whose AppServer connects (again) whenever there is no usable connection.
#pragma once

#include "classes/object.h"
#include "connection/host_object.h"
#include "connection/socket_remote_server.h"
#include "tavolex/directory.h"

namespace tvx::example {

// It answers for ISupportErrorInfo too: a caller reads the error info of a failure only from
// an object that says it sets one.
class RemoteConnection final : public HostObject<tavolex::IRemoteConnection, ISupportErrorInfo> {
 public:
  explicit RemoteConnection(ClientOptions options);

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

  TSocketRemoteServer& Server() { return *server_; }

  // A failure comes back with error info: the connection's message (for instance "Нет связи с
  // сервером приложений (127.0.0.1:2110): ...") and its source.
  HRESULT STDMETHODCALLTYPE GetAppServer(VARIANT* app_server) override;

 private:
  ~RemoteConnection() override;
  TOwned<TSocketRemoteServer> server_;
};

// Sets the thread's error info, as the boundary's rules ask of every failure, and returns the
// status (E_FAIL for one that is not a failure code).
HRESULT FailWithErrorInfo(HRESULT status, const std::string& source, const std::string& description,
                          const IID& iid);

}  // namespace tvx::example
