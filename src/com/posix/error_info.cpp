#include "com/posix/error_info.h"

#include "tavolex/unknown_impl.h"

namespace {

// The thread's error info as the runtime makes it; the host SDK's IUnknown base counts its
// references (atomically: an error object may be handed to another thread).
class ErrorObject final : public tavolex::UnknownImpl<IErrorInfo, ICreateErrorInfo> {
 public:
  HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override {
    if (guid == nullptr) return E_INVALIDARG;
    *guid = guid_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) override { return Copy(source_, source); }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override {
    return Copy(description_, description);
  }
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* help_file) override {
    return Copy(help_file_, help_file);
  }
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* help_context) override {
    if (help_context == nullptr) return E_INVALIDARG;
    *help_context = help_context_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetGUID(REFGUID guid) override {
    guid_ = guid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR source) override { return Store(source_, source); }
  HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR description) override {
    return Store(description_, description);
  }
  HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR help_file) override {
    return Store(help_file_, help_file);
  }
  HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD help_context) override {
    help_context_ = help_context;
    return S_OK;
  }

 private:
  ~ErrorObject() override {
    SysFreeString(source_);
    SysFreeString(description_);
    SysFreeString(help_file_);
  }

  static HRESULT Copy(BSTR field, BSTR* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (field == nullptr) return S_OK;
    *out = SysAllocStringLen(field, SysStringLen(field));
    return *out == nullptr ? E_OUTOFMEMORY : S_OK;
  }
  static HRESULT Store(BSTR& field, LPOLESTR text) {
    return SysReAllocString(&field, text) ? S_OK : E_OUTOFMEMORY;
  }

  GUID guid_{};
  BSTR source_ = nullptr;
  BSTR description_ = nullptr;
  BSTR help_file_ = nullptr;
  DWORD help_context_ = 0;
};

// The thread's error object; released when the thread ends.
struct ErrorSlot {
  IErrorInfo* info = nullptr;
  ~ErrorSlot() {
    if (info != nullptr) info->Release();
  }
};
thread_local ErrorSlot error_slot;

}  // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
  if (info == nullptr) return E_INVALIDARG;
  *info = new ErrorObject();
  return S_OK;
}

HRESULT SetErrorInfo(ULONG /*reserved*/, IErrorInfo* info) {
  if (info != nullptr) info->AddRef();
  IErrorInfo* previous = error_slot.info;
  error_slot.info = info;
  if (previous != nullptr) previous->Release();
  return S_OK;
}

HRESULT GetErrorInfo(ULONG /*reserved*/, IErrorInfo** info) {
  if (info == nullptr) return E_INVALIDARG;
  *info = error_slot.info;
  error_slot.info = nullptr;
  return *info == nullptr ? S_FALSE : S_OK;
}
