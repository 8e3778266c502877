// IUnknown for an object written in C++: reference counting and QueryInterface for the
// interfaces that the object lists.
//
//   class Directory final : public tavolex::UnknownImpl<tavolex::IDirectory> { ... };
//   class Element final : public tavolex::UnknownImpl<IAccessible, IDispatch> { ... };
//
// The object derives from each listed interface, but from one that another listed interface
// already derives from (IDispatch beside IAccessible): that one is answered through the other.
// QueryInterface answers IUnknown (through the first listed interface, so that the object has one
// identity) and each listed interface; InterfaceFor is the hook of an object that answers more or
// fewer. The object starts with one reference, which its creator holds or hands on; the Release
// that takes the count to zero calls LastReleased, which deletes the object.
//
// The count is atomic: the module calls its objects on the caller's thread, but a host's objects
// (a .NET host's above all, whose wrappers may release from the finalizer's thread) can be
// released from another thread than the one that made them, and an atomic count costs next to
// nothing. Nothing else of the object is made safe for threads by it.
//
// Header only; it needs nothing but the COM types.
#pragma once

#include <atomic>
#include <type_traits>

#include "tavolex/interface_id.h"

namespace tavolex {

namespace detail {

// Whether Interface is a base of another of All.
template <class Interface, class... All>
inline constexpr bool kBaseOfAnother = (... || (!std::is_same_v<Interface, All> &&
                                                std::is_base_of_v<Interface, All>));

// In the place of an interface that another listed interface derives from.
template <class Interface>
struct ThroughAnother {};

template <class Interface, class... All>
using InheritedSlot =
    std::conditional_t<kBaseOfAnother<Interface, All...>, ThroughAnother<Interface>, Interface>;

}  // namespace detail

template <class First, class... Rest>
class UnknownImpl : public detail::InheritedSlot<First, First, Rest...>,
                    public detail::InheritedSlot<Rest, First, Rest...>... {
 public:
  UnknownImpl(const UnknownImpl&) = delete;
  UnknownImpl& operator=(const UnknownImpl&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = InterfaceFor(iid);
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return references_.fetch_add(1, std::memory_order_relaxed) + 1;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) LastReleased();
    return left;
  }

  // The references held now (for tests and checks: another thread may change it at once).
  ULONG References() const noexcept { return references_.load(std::memory_order_relaxed); }

 protected:
  UnknownImpl() noexcept = default;
  virtual ~UnknownImpl() = default;

  // The object's interface of identifier iid, without a reference, or null when it offers none.
  // An object that answers more (an interface it does not list) or fewer (one that it lists but
  // offers only at times) overrides it and asks ListedInterface for the rest.
  virtual void* InterfaceFor(REFIID iid) noexcept { return ListedInterface(iid); }
  // IUnknown through the first listed interface, or the listed interface of identifier iid.
  void* ListedInterface(REFIID iid) noexcept {
    if (IsEqualIID(iid, IidOf<IUnknown>())) {
      return static_cast<IUnknown*>(static_cast<First*>(this));
    }
    if (IsEqualIID(iid, IidOf<First>())) return static_cast<First*>(this);
    void* found = nullptr;
    (void)(... ||
           (IsEqualIID(iid, IidOf<Rest>()) && (found = static_cast<Rest*>(this)) != nullptr));
    return found;
  }
  // Called by the Release that took the count to zero: deletes the object. An object that its
  // owner keeps elsewhere (on the stack, in a member) overrides it to do nothing.
  virtual void LastReleased() noexcept { delete this; }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace tavolex
