#include "support/test_app_server.h"

#include <stdexcept>
#include <utility>

#include "com/bstr.h"
#include "rtl/text.h"

namespace tvx::test {

namespace {

struct MethodName {
  DISPID id;
  const char* name;
};
constexpr MethodName kMethods[] = {{TestAppServer::kExportAllData, "ExportAllData"},
                                   {TestAppServer::kExportData1C, "ExportData1C"}};

// Automation names compare without regard to case.
bool SameName(std::u16string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i];
    char16_t y = static_cast<unsigned char>(b[i]);
    if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - u'a' + u'A');
    if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - u'a' + u'A');
    if (x != y) return false;
  }
  return true;
}

std::string NameOf(DISPID id) {
  for (const MethodName& method : kMethods) {
    if (method.id == id) return method.name;
  }
  return "DISPID " + std::to_string(id);
}

// A copy of what the server received; a type this COM subset cannot copy stays empty.
ReceivedArgument Received(const VARIANT& argument) {
  ReceivedArgument received;
  received.vt = argument.vt;
  try {
    if (argument.vt == (VT_BYREF | VT_VARIANT)) {
      if (argument.pvarVal != nullptr) received.value = OleVariant(*argument.pvarVal);
    } else {
      received.value = OleVariant(argument);
    }
  } catch (const std::exception&) {
    received.value.Clear();
  }
  return received;
}

ReceivedArgument ReceivedString(BSTR text) { return {VT_BSTR, OleVariant::String(BStrView(text))}; }

ReceivedArgument ReceivedInteger(int value) { return {VT_I4, OleVariant::I4(value)}; }

ReceivedArgument ReceivedReference(VARIANT* target) {
  VARIANT reference;
  VariantInit(&reference);
  reference.vt = VT_BYREF | VT_VARIANT;
  reference.pvarVal = target;
  return Received(reference);
}

// What a deferred fill-in hands over; the fill-in runs on the caller's thread.
struct PendingException {
  HRESULT scode = S_OK;
  std::u16string description;
};
thread_local PendingException pending_exception;

HRESULT STDMETHODCALLTYPE FillInException(EXCEPINFO* exception) {
  exception->scode = pending_exception.scode;
  if (!pending_exception.description.empty()) {
    exception->bstrDescription = BStr(pending_exception.description).Detach();
  }
  return S_OK;
}

// The argument types each method takes, last argument first (as rgvarg holds them).
const std::vector<VARTYPE>& ExpectedTypes(DISPID id) {
  static const std::vector<VARTYPE> kNone;
  static const std::vector<VARTYPE> kExportData1C = {VT_BYREF | VT_VARIANT, VT_I4, VT_I4, VT_DATE,
                                                     VT_DATE};
  return id == TestAppServer::kExportData1C ? kExportData1C : kNone;
}

}  // namespace

ComPtr<TestAppServer> TestAppServer::Create() {
  return ComPtr<TestAppServer>::Adopt(new TestAppServer());
}

void TestAppServer::SetPacket(const DataPacketWriter& table) {
  reply_ = OleVariant::Bytes(table.Encode());
}

void TestAppServer::FailWithException(HRESULT scode, std::u16string description, bool deferred) {
  exception_ = true;
  exception_scode_ = scode;
  exception_description_ = std::move(description);
  exception_deferred_ = deferred;
}

void TestAppServer::FailGetRecords(HRESULT code, std::u16string description) {
  get_records_error_ = code;
  get_records_description_ = std::move(description);
}

void* TestAppServer::InterfaceFor(REFIID iid) noexcept {
  if (!offers_app_server_ && IsEqualGUID(iid, tavolex::IidOf<IAppServer>())) return nullptr;
  return ListedInterface(iid);
}

HRESULT STDMETHODCALLTYPE TestAppServer::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_INVALIDARG;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestAppServer::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE TestAppServer::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                                       LCID, DISPID* ids) {
  if (!IsEqualGUID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || ids == nullptr) return E_INVALIDARG;
  HRESULT result = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    if (FAILED(names_error_)) continue;
    const std::u16string_view name(reinterpret_cast<const char16_t*>(names[i]));
    for (const MethodName& method : kMethods) {
      if (SameName(name, method.name)) ids[i] = method.id;
    }
    if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
  }
  return FAILED(names_error_) ? names_error_ : result;
}

HRESULT TestAppServer::CheckArguments(DISPID id, const DISPPARAMS& params, UINT* arg_error) const {
  if (params.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  const std::vector<VARTYPE>& expected = ExpectedTypes(id);
  if (params.cArgs != expected.size()) return DISP_E_BADPARAMCOUNT;
  for (UINT i = 0; i < params.cArgs; ++i) {
    if (params.rgvarg[i].vt != expected[i]) {
      if (arg_error != nullptr) *arg_error = i;
      return DISP_E_TYPEMISMATCH;
    }
  }
  return S_OK;
}

HRESULT TestAppServer::ReportException(EXCEPINFO* exception) const {
  if (exception == nullptr) return DISP_E_EXCEPTION;
  *exception = EXCEPINFO{};
  exception->bstrSource = BStr(kSource).Detach();
  if (exception_deferred_) {
    pending_exception = {exception_scode_, exception_description_};
    exception->pfnDeferredFillIn = &FillInException;
    return DISP_E_EXCEPTION;
  }
  exception->scode = exception_scode_;
  if (!exception_description_.empty()) {
    exception->bstrDescription = BStr(exception_description_).Detach();
  }
  return DISP_E_EXCEPTION;
}

HRESULT STDMETHODCALLTYPE TestAppServer::Invoke(DISPID id, REFIID riid, LCID, WORD flags,
                                                DISPPARAMS* params, VARIANT* result,
                                                EXCEPINFO* exception, UINT* arg_error) {
  if (params == nullptr) return E_INVALIDARG;
  ReceivedCall call;
  call.method = NameOf(id);
  for (UINT i = params->cArgs; i > 0; --i)
    call.arguments.push_back(Received(params->rgvarg[i - 1]));
  call.flags = flags;
  call.named_arguments = params->cNamedArgs;
  call.result_requested = result != nullptr;
  calls_.push_back(std::move(call));

  if (!IsEqualGUID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if ((id != kExportAllData && id != kExportData1C) || (flags & DISPATCH_METHOD) == 0) {
    return DISP_E_MEMBERNOTFOUND;
  }
  if (const HRESULT checked = CheckArguments(id, *params, arg_error); FAILED(checked)) {
    return checked;
  }
  if (FAILED(invoke_status_)) return invoke_status_;
  if (exception_) return ReportException(exception);

  if (id == kExportData1C) {
    VARIANT* left = params->rgvarg[0].pvarVal;
    if (left != nullptr && SUCCEEDED(VariantClear(left))) {
      left->bstrVal = BStr(kLeftInReference).Detach();
      left->vt = VT_BSTR;
    }
  }
  if (result != nullptr) VariantInit(result);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestAppServer::AS_GetRecords(BSTR ProviderName, int Count, int* RecsOut,
                                                       int Options, BSTR CommandText,
                                                       VARIANT* Params, VARIANT* OwnerData,
                                                       VARIANT* Result) {
  ReceivedCall call;
  call.method = "AS_GetRecords";
  call.arguments.push_back(ReceivedString(ProviderName));
  call.arguments.push_back(ReceivedInteger(Count));
  call.arguments.push_back(ReceivedInteger(Options));
  call.arguments.push_back(ReceivedString(CommandText));
  call.arguments.push_back(ReceivedReference(Params));
  call.arguments.push_back(ReceivedReference(OwnerData));
  call.result_requested = Result != nullptr;
  calls_.push_back(std::move(call));

  if (RecsOut == nullptr || Result == nullptr) return E_POINTER;
  *RecsOut = 0;
  VariantInit(Result);
  if (FAILED(get_records_error_)) {
    if (!get_records_description_.empty()) {
      ComPtr<ICreateErrorInfo> create;
      if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
        create->SetGUID(tavolex::IidOf<IAppServer>());
        create->SetSource(const_cast<LPOLESTR>(reinterpret_cast<const OLECHAR*>(kSource)));
        BStr description(get_records_description_);
        create->SetDescription(description.Get());
        SetErrorInfo(0, create.Query<IErrorInfo>().Get());
      }
    }
    return get_records_error_;
  }
  const HRESULT copied = VariantCopy(Result, reply_.Get());
  if (FAILED(copied)) return copied;
  *RecsOut = -1;  // every row is in the reply
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestAppServer::AS_ApplyUpdates(BSTR, VARIANT, int, int*, VARIANT*,
                                                         VARIANT*) {
  calls_.push_back({"AS_ApplyUpdates", {}, 0, 0, true});
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestAppServer::AS_DataRequest(BSTR, VARIANT, VARIANT*) {
  calls_.push_back({"AS_DataRequest", {}, 0, 0, true});
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestAppServer::AS_GetProviderNames(VARIANT*) {
  calls_.push_back({"AS_GetProviderNames", {}, 0, 0, true});
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestAppServer::AS_GetParams(BSTR, VARIANT*, VARIANT*) {
  calls_.push_back({"AS_GetParams", {}, 0, 0, true});
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestAppServer::AS_RowRequest(BSTR, VARIANT, int, VARIANT*, VARIANT*) {
  calls_.push_back({"AS_RowRequest", {}, 0, 0, true});
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestAppServer::AS_Execute(BSTR, BSTR, VARIANT*, VARIANT*) {
  calls_.push_back({"AS_Execute", {}, 0, 0, false});
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestAppServer::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualGUID(riid, tavolex::IidOf<IAppServer>()) ? S_OK : S_FALSE;
}

}  // namespace tvx::test
