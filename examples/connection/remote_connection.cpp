#include "connection/remote_connection.h"

#include <exception>

#include "com/ole_variant.h"
#include "rtl/exceptions.h"

namespace tvx::example {

HRESULT FailWithErrorInfo(HRESULT status, const std::string& source, const std::string& description,
                          const IID& iid) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    tavolex::Text source_text{std::string_view(source)};
    tavolex::Text description_text{std::string_view(description)};
    create->SetGUID(iid);
    create->SetSource(source_text.Get());
    create->SetDescription(description_text.Get());
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return FAILED(status) ? status : E_FAIL;
}

RemoteConnection::RemoteConnection(ClientOptions options)
    : server_(CreateOwned<TSocketRemoteServer>(nullptr, std::move(options))) {}

RemoteConnection::~RemoteConnection() = default;

HRESULT RemoteConnection::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualIID(riid, tavolex::IID_IRemoteConnection) ? S_OK : S_FALSE;
}

HRESULT RemoteConnection::GetAppServer(VARIANT* app_server) {
  if (app_server == nullptr) return E_POINTER;
  VariantInit(app_server);
  const IID& iid = tavolex::IID_IRemoteConnection;
  try {
    *app_server = server_->AppServer().Detach();
    return S_OK;
  } catch (const EOleException& error) {
    return FailWithErrorInfo(error.ErrorCode(), error.Source(), error.Message(), iid);
  } catch (const EOleSysError& error) {
    return FailWithErrorInfo(error.ErrorCode(), error.ClassName(), error.Message(), iid);
  } catch (const Exception& error) {
    return FailWithErrorInfo(E_FAIL, error.ClassName(), error.Message(), iid);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    return FailWithErrorInfo(E_FAIL, "Exception", error.what(), iid);
  }
}

}  // namespace tvx::example
