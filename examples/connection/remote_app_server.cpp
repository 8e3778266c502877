#include "connection/remote_app_server.h"

#include <vector>

#include "com/bstr.h"
#include "connection/variant_wire.h"
#include "rtl/text.h"

namespace tvx::example {

namespace {

BSTR NewBStr(const std::string& text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()),
                           static_cast<UINT>(wide.size()));
}

HRESULT AsFailure(std::int32_t code) { return FAILED(code) ? code : E_FAIL; }

// Hands the caller of an IAppServer operation its error info; returns `code`.
HRESULT SetCallError(HRESULT code, const std::string& source, const std::string& description) {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
    std::u16string wide_source = Utf8ToUtf16(source);
    std::u16string wide_description = Utf8ToUtf16(description);
    create->SetGUID(tavolex::IidOf<IAppServer>());
    create->SetSource(reinterpret_cast<LPOLESTR>(wide_source.data()));
    create->SetDescription(reinterpret_cast<LPOLESTR>(wide_description.data()));
    const ComPtr<IErrorInfo> info = create.Query<IErrorInfo>();
    SetErrorInfo(0, info.Get());
  }
  return code;
}

// Fills Invoke's exception details; DISP_E_EXCEPTION, or the code itself when the caller
// gave no place for the details.
HRESULT ReportException(EXCEPINFO* exception, HRESULT code, const std::string& source,
                        const std::string& description) {
  if (exception == nullptr) return code;
  *exception = EXCEPINFO{};
  exception->bstrSource = NewBStr(source);
  exception->bstrDescription = NewBStr(description);
  exception->scode = code;
  return DISP_E_EXCEPTION;
}

// Case-insensitive for A..Z, as automation names are.
bool SameName(std::u16string_view a, std::string_view b_utf8) {
  const std::u16string b = Utf8ToUtf16(b_utf8);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

std::u16string_view NameOf(LPOLESTR name) {
  const auto* text = reinterpret_cast<const char16_t*>(name);
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return {text, length};
}

// Runs the body of a COM method: no C++ exception may leave one. Running out of memory is
// E_OUTOFMEMORY; anything else unforeseen is E_UNEXPECTED with error info that says so.
template <class Body>
HRESULT Guarded(Body body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    try {
      return SetCallError(E_UNEXPECTED, kConnectionErrorSource,
                          "Внутренняя ошибка соединения с сервером приложений");
    } catch (...) {
      return E_UNEXPECTED;
    }
  }
}

}  // namespace

ComPtr<RemoteAppServer> RemoteAppServer::Connect(const ClientOptions& options) {
  auto server = ComPtr<RemoteAppServer>::Adopt(new RemoteAppServer(options));
  server->client_.Connect();
  return server;
}

HRESULT RemoteAppServer::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT RemoteAppServer::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT RemoteAppServer::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                       DISPID* ids) {
  return Guarded([&] { return FindIds(riid, names, count, lcid, ids); });
}

HRESULT RemoteAppServer::FindIds(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
  // The methods take no named arguments: every name after the first is unknown.
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const auto& methods = client_.Methods();
  for (std::size_t i = 0; i < methods.size(); ++i) {
    if (names[0] != nullptr && SameName(NameOf(names[0]), methods[i])) {
      ids[0] = static_cast<DISPID>(i + 1);
      break;
    }
  }
  for (UINT i = 0; i < count; ++i) {
    if (ids[i] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
  }
  return S_OK;
}

HRESULT RemoteAppServer::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* exception, UINT* arg_error) {
  return Guarded(
      [&] { return CallMethod(id, riid, lcid, flags, params, result, exception, arg_error); });
}

HRESULT RemoteAppServer::CallMethod(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* exception, UINT* arg_error) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  const auto& methods = client_.Methods();
  if (id < 1 || static_cast<std::size_t>(id) > methods.size() || (flags & DISPATCH_METHOD) == 0) {
    return DISP_E_MEMBERNOTFOUND;
  }
  const UINT count = params != nullptr ? params->cArgs : 0;
  if (params != nullptr && params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
  if (count > kMaxArguments) return DISP_E_BADPARAMCOUNT;

  InvokeRequest request;
  request.method = methods[static_cast<std::size_t>(id - 1)];
  request.flags = flags;
  request.result_wanted = result != nullptr;
  // rgvarg holds the arguments last first.
  auto slot = [&](std::size_t position) -> VARIANT& {
    return params->rgvarg[count - 1 - position];
  };
  for (std::size_t position = 0; position < count; ++position) {
    auto argument = ToWireArgument(slot(position));
    if (!argument) {
      if (arg_error != nullptr) *arg_error = static_cast<UINT>(count - 1 - position);
      return DISP_E_BADVARTYPE;
    }
    request.arguments.push_back(std::move(*argument));
  }

  InvokeReply reply;
  try {
    reply = client_.Invoke(request);
  } catch (const ServerError& error) {
    return ReportException(exception, AsFailure(error.Code()), error.Source(), error.Message());
  } catch (const ConnectionError& error) {
    return ReportException(exception, RPC_E_DISCONNECTED, kConnectionErrorSource, error.Message());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }

  // The server may only return values for arguments passed by reference.
  for (const ReturnedReference& reference : reply.references) {
    if (reference.index >= count || request.arguments[reference.index].passing == Passing::kValue ||
        (request.arguments[reference.index].passing == Passing::kTypedReference &&
         reference.value.type != request.arguments[reference.index].value.type)) {
      client_.Disconnect();
      return ReportException(
          exception, RPC_E_DISCONNECTED, kConnectionErrorSource,
          NoConnectionText(client_.Address(), "сервер вернул значение не по ссылке"));
    }
  }
  for (const ReturnedReference& reference : reply.references) {
    const HRESULT hr = StoreReference(slot(reference.index), reference.value);
    if (FAILED(hr)) return hr;
  }
  if (result != nullptr) {
    VariantClear(result);
    const HRESULT hr = FromWireValue(reply.result, result);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT RemoteAppServer::AS_GetRecords(BSTR ProviderName, int Count, int* RecsOut, int Options,
                                       BSTR CommandText, VARIANT* Params, VARIANT*,
                                       VARIANT* Result) {
  return Guarded([&] {
    return GetRecords(ProviderName, Count, RecsOut, Options, CommandText, Params, Result);
  });
}

HRESULT RemoteAppServer::GetRecords(BSTR ProviderName, int Count, int* RecsOut, int Options,
                                    BSTR CommandText, VARIANT* Params, VARIANT* Result) {
  if (Result == nullptr) return E_POINTER;
  GetRecordsRequest request;
  request.provider = Utf16ToUtf8(BStrView(ProviderName));
  request.count = Count;
  request.options = Options;
  request.command_text = Utf16ToUtf8(BStrView(CommandText));
  if (Params != nullptr) {
    auto params = ToWireValue(*Params);
    if (!params) {
      return SetCallError(E_INVALIDARG, kConnectionErrorSource,
                          "Параметры запроса этого типа не передаются серверу");
    }
    request.params = std::move(*params);
  }
  GetRecordsReply reply;
  try {
    reply = client_.GetRecords(request);
  } catch (const ServerError& error) {
    return SetCallError(AsFailure(error.Code()), error.Source(), error.Message());
  } catch (const ConnectionError& error) {
    return SetCallError(RPC_E_DISCONNECTED, kConnectionErrorSource, error.Message());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  VariantClear(Result);
  const HRESULT hr = FromWireValue(reply.data, Result);
  if (FAILED(hr)) return hr;
  if (RecsOut != nullptr) *RecsOut = reply.records_out;
  return S_OK;
}

HRESULT RemoteAppServer::AS_ApplyUpdates(BSTR, VARIANT, int, int*, VARIANT*, VARIANT*) {
  return E_NOTIMPL;
}
HRESULT RemoteAppServer::AS_DataRequest(BSTR, VARIANT, VARIANT*) { return E_NOTIMPL; }
HRESULT RemoteAppServer::AS_GetProviderNames(VARIANT*) { return E_NOTIMPL; }
HRESULT RemoteAppServer::AS_GetParams(BSTR, VARIANT*, VARIANT*) { return E_NOTIMPL; }
HRESULT RemoteAppServer::AS_RowRequest(BSTR, VARIANT, int, VARIANT*, VARIANT*) { return E_NOTIMPL; }
HRESULT RemoteAppServer::AS_Execute(BSTR, BSTR, VARIANT*, VARIANT*) { return E_NOTIMPL; }

HRESULT RemoteAppServer::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualIID(riid, tavolex::IidOf<IAppServer>()) ? S_OK : S_FALSE;
}

}  // namespace tvx::example
