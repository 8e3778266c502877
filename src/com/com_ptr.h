// A counted reference to a COM interface: holds one reference and releases it on reset
// or destruction.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "com/com.h"
#include "com/interface_id.h"

namespace tvx {

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Shares `object`: adds a reference of its own.
  explicit ComPtr(T* object) noexcept : object_(object) { AddRefHeld(); }
  ComPtr(const ComPtr& other) noexcept : object_(other.object_) { AddRefHeld(); }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  // From a derived interface (for instance IDispatch from IAppServer).
  template <class U>
  requires(std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>) ComPtr(const ComPtr<U>& other)
  noexcept : ComPtr(static_cast<T*>(other.Get())) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) noexcept {
    Reset();
    return *this;
  }

  // Takes over a reference that the caller owns (a fresh object, an out-parameter).
  static ComPtr Adopt(T* object) noexcept {
    ComPtr result;
    result.object_ = object;
    return result;
  }
  // Releases what is held and takes over `object`'s reference.
  void Attach(T* object) noexcept {
    Reset();
    object_ = object;
  }
  // Hands the held reference to the caller.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(object_, nullptr); }

  void Reset() noexcept {
    if (T* object = std::exchange(object_, nullptr)) object->Release();
  }

  // The address for an out-parameter that receives a reference; what was held is
  // released first.
  T** Put() noexcept {
    Reset();
    return &object_;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  T* Get() const noexcept { return object_; }
  T* operator->() const noexcept { return object_; }
  T& operator*() const noexcept { return *object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

  // QueryInterface into `target`; it is empty when the call fails (E_POINTER when this
  // holds nothing).
  template <class U>
  HRESULT As(ComPtr<U>& target) const noexcept {
    if (object_ == nullptr) {
      target.Reset();
      return E_POINTER;
    }
    void** slot = target.PutVoid();
    const HRESULT hr = object_->QueryInterface(IidOf<U>(), slot);
    // A failing object should leave null there; do not trust it to.
    if (FAILED(hr)) *slot = nullptr;
    return hr;
  }
  // The same, empty when the interface is not supported.
  template <class U>
  ComPtr<U> Query() const noexcept {
    ComPtr<U> target;
    As(target);
    return target;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept {
    return a.object_ == b.object_;
  }
  friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.object_ == nullptr; }

 private:
  void AddRefHeld() noexcept {
    if (object_ != nullptr) object_->AddRef();
  }

  T* object_ = nullptr;
};

}  // namespace tvx
