// The application server's automation object on the client side: a COM object with IDispatch
// and IAppServer whose calls travel over one connection to the server.
//
// - IDispatch: GetIDsOfNames answers from the methods that the server named when it greeted
//   the client; Invoke sends the call by name with its arguments and writes the by-reference
//   values the server returns back into the caller's arguments. A refusal by the server, and a
//   failed connection, come back as DISP_E_EXCEPTION with the description and source filled
//   in, so the caller reports the server's own text.
// - IAppServer: AS_GetRecords is forwarded; a failure returns its status with error info
//   (ISupportErrorInfo says so). The other operations return E_NOTIMPL.
//
// The object holds exactly one connection; once that fails, every call fails. Calls are
// synchronous, each with the connection's time-out.
#pragma once

#include <string>

#include "com/com.h"
#include "com/com_ptr.h"
#include "connection/app_server_client.h"
#include "server_client/app_server.h"
#include "tavolex/unknown_impl.h"

namespace tvx::example {

// The source named in the error info of a failed connection.
inline constexpr char kConnectionErrorSource[] = "Tavolex.AppServerConnection";

class RemoteAppServer final
    : public tavolex::UnknownImpl<IAppServer, IDispatch, ISupportErrorInfo> {
 public:
  // Connects and greets the server. Raises ConnectionError ("Нет связи с сервером
  // приложений (host:port): ...").
  static ComPtr<RemoteAppServer> Connect(const ClientOptions& options);

  IDispatch* Dispatch() { return static_cast<IAppServer*>(this); }
  // The connection is still open and the server has not closed it.
  bool Usable() { return client_.Usable(); }
  void Disconnect() { client_.Disconnect(); }
  std::string Address() const { return client_.Address(); }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* arg_error) override;
  // IAppServer
  HRESULT STDMETHODCALLTYPE AS_ApplyUpdates(BSTR ProviderName, VARIANT Delta, int MaxErrors,
                                            int* ErrorCount, VARIANT* OwnerData,
                                            VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_GetRecords(BSTR ProviderName, int Count, int* RecsOut, int Options,
                                          BSTR CommandText, VARIANT* Params, VARIANT* OwnerData,
                                          VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_DataRequest(BSTR ProviderName, VARIANT Data,
                                           VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_GetProviderNames(VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_GetParams(BSTR ProviderName, VARIANT* OwnerData,
                                         VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_RowRequest(BSTR ProviderName, VARIANT Row, int RequestType,
                                          VARIANT* OwnerData, VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_Execute(BSTR ProviderName, BSTR CommandText, VARIANT* Params,
                                       VARIANT* OwnerData) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  explicit RemoteAppServer(const ClientOptions& options) : client_(options) {}
  // The bodies of the COM methods above, which may raise C++ exceptions; the methods turn
  // those into status codes.
  HRESULT FindIds(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids);
  HRESULT CallMethod(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                     VARIANT* result, EXCEPINFO* exception, UINT* arg_error);
  HRESULT GetRecords(BSTR provider, int count, int* records_out, int options, BSTR command_text,
                     VARIANT* params, VARIANT* result);
  ~RemoteAppServer() override = default;

  AppServerClient client_;
};

}  // namespace tvx::example
