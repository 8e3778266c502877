// A host's object that offers one interface of the module boundary (and the others it lists),
// over the SDK's IUnknown base. Told so, it does not offer that first interface (a host that
// lacks what the module needs); IUnknown it always offers.
#pragma once

#include <utility>

#include "tavolex/host.h"
#include "tavolex/unknown_impl.h"

namespace tvx::example {

template <class Interface, class... More>
class HostObject : public tavolex::UnknownImpl<Interface, More...> {
 protected:
  explicit HostObject(bool offered = true) : offered_(offered) {}

  void* InterfaceFor(REFIID iid) noexcept override {
    // IUnknown is always offered, HostObject<IUnknown>'s too.
    if (!offered_ && !IsEqualIID(iid, tavolex::IidOf<IUnknown>()) &&
        IsEqualIID(iid, tavolex::IidOf<Interface>())) {
      return nullptr;
    }
    return this->ListedInterface(iid);
  }

 private:
  bool offered_;
};

// A new object; the reference holds its only count.
template <class T, class... Args>
tavolex::Ref<T> MakeHostObject(Args&&... args) {
  return tavolex::Ref<T>::Adopt(new T(std::forward<Args>(args)...));
}

}  // namespace tvx::example
