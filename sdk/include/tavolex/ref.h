// A counted reference to a COM interface: tavolex::Ref<IPlugin>. It holds one reference and
// releases it when it is reset or goes. Header only; it needs nothing but the COM types.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "tavolex/interface_id.h"

namespace tavolex {

template <class T>
class Ref {
 public:
  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}
  // Shares object: adds a reference of its own.
  explicit Ref(T* object) noexcept : object_(object) { AddRefHeld(); }
  Ref(const Ref& other) noexcept : Ref(other.object_) {}
  Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  // From a derived interface (IDispatch from IAppServer, IUnknown from anything).
  template <class U,
            std::enable_if_t<std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>, int> = 0>
  Ref(const Ref<U>& other) noexcept : Ref(static_cast<T*>(other.Get())) {}
  ~Ref() { Reset(); }

  Ref& operator=(Ref other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  Ref& operator=(std::nullptr_t) noexcept {
    Reset();
    return *this;
  }

  // Takes over a reference that the caller owns (a new object, an out-parameter's).
  static Ref Adopt(T* object) noexcept {
    Ref ref;
    ref.object_ = object;
    return ref;
  }
  // Releases what is held and takes over object's reference.
  void Attach(T* object) noexcept {
    Reset();
    object_ = object;
  }
  // Hands the held reference to the caller.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(object_, nullptr); }

  void Reset() noexcept {
    if (T* object = std::exchange(object_, nullptr)) object->Release();
  }

  // The address for an out-parameter that receives a reference; what was held is released
  // first.
  T** Put() noexcept {
    Reset();
    return &object_;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  // Hands the object out through an out-parameter with a reference for the receiver, as an
  // operation of a host's object does (IDirectory::GetRemoteServer, for instance): E_POINTER
  // for a null out-parameter, else S_OK (null out when this holds nothing). U is T or an
  // interface that T derives from.
  template <class U>
  HRESULT CopyTo(U** out) const noexcept {
    static_assert(std::is_convertible_v<T*, U*>, "T does not offer U");
    if (out == nullptr) return E_POINTER;
    *out = object_;
    AddRefHeld();
    return S_OK;
  }

  T* Get() const noexcept { return object_; }
  T* operator->() const noexcept { return object_; }
  T& operator*() const noexcept { return *object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

  // QueryInterface into target, which is empty when the call fails (E_POINTER when this holds
  // nothing).
  template <class U>
  HRESULT As(Ref<U>& target) const noexcept {
    if (object_ == nullptr) {
      target.Reset();
      return E_POINTER;
    }
    void** slot = target.PutVoid();
    const HRESULT status = object_->QueryInterface(IidOf<U>(), slot);
    // A failing object should leave null there; it is not trusted to.
    if (FAILED(status)) *slot = nullptr;
    return status;
  }
  // The object's interface U, empty when it offers none.
  template <class U>
  Ref<U> Query() const noexcept {
    Ref<U> target;
    As(target);
    return target;
  }

  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.object_ == b.object_; }
  friend bool operator==(const Ref& a, std::nullptr_t) noexcept { return a.object_ == nullptr; }

 private:
  void AddRefHeld() const noexcept {
    if (object_ != nullptr) object_->AddRef();
  }

  T* object_ = nullptr;
};

}  // namespace tavolex
