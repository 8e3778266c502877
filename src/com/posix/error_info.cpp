#include "com/posix/error_info.h"

#include <atomic>

namespace {

class ErrorObject final : public IErrorInfo, public ICreateErrorInfo {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IErrorInfo)) {
      *object = static_cast<IErrorInfo*>(this);
    } else if (IsEqualIID(riid, IID_ICreateErrorInfo)) {
      *object = static_cast<ICreateErrorInfo*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

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
  ~ErrorObject() {
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

  std::atomic<ULONG> references_{1};
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
