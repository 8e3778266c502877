// IUnknown for a host's object that offers one interface of the module boundary, counting its
// references as the boundary's rules ask. Told so, it offers only IUnknown (a host that lacks
// what the module needs).
#pragma once

#include <atomic>
#include <utility>

#include "tavolex/host.h"

namespace tvx::example {

template <class Interface>
class HostObject : public Interface {
 public:
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) &&
        !(offered_ && IsEqualIID(riid, tavolex::InterfaceIdOf<Interface>()))) {
      return E_NOINTERFACE;
    }
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  explicit HostObject(bool offered = true) : offered_(offered) {}
  virtual ~HostObject() = default;

 private:
  std::atomic<ULONG> references_{1};
  bool offered_;
};

// A new object; the reference holds its only count.
template <class T, class... Args>
tavolex::Ref<T> MakeHostObject(Args&&... args) {
  return tavolex::Ref<T>::Adopt(new T(std::forward<Args>(args)...));
}

}  // namespace tvx::example
