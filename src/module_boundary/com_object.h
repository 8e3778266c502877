// The base of the module's COM objects: reference counting, QueryInterface for IUnknown, the
// object's interface and ISupportErrorInfo (every failure of the object's operations comes with
// error info). The object starts with one reference, which its creator hands on; the last
// Release deletes it.
#pragma once

#include <atomic>

#include "com/com.h"
#include "tavolex/com_types.h"

namespace tvx {

template <class Interface>
class ComObject : public Interface, public ISupportErrorInfo {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, tavolex::IidOf<Interface>())) {
      *object = static_cast<Interface*>(this);
    } else if (IsEqualIID(riid, IID_ISupportErrorInfo)) {
      *object = static_cast<ISupportErrorInfo*>(this);
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
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
    return IsEqualIID(riid, tavolex::IidOf<Interface>()) ? S_OK : S_FALSE;
  }

  // The object as its interface, for handing out a reference.
  Interface* AsInterface() { return static_cast<Interface*>(this); }

 protected:
  virtual ~ComObject() = default;

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace tvx
