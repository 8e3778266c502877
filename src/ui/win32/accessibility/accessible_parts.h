// What the two kinds of accessible object share (accessible.cpp describes a window's own tree of
// elements, accessible_container.cpp adds a role and a name to the system's object of a
// container): the link to the peer, IDispatch without type information, and the guard that turns
// whatever the layers below throw into a failure code, since no exception may cross into the screen
// reader's call.
#pragma once

#include <memory>
#include <new>
#include <string>

#include "tavolex/unknown_impl.h"
#include "ui/win32/accessibility/accessible.h"

namespace tvx::win32 {

struct AccessibleWindow::Link {
  HWND hwnd = nullptr;
  // Null once the peer is gone.
  const AccessibleSource* source = nullptr;

  bool Connected() const { return source != nullptr && IsWindow(hwnd) != FALSE; }
};

// An accessible object over its IUnknown base: IDispatch without type information, since
// clients of IAccessible call it through its table of methods.
template <class Unknown>
class AccessibleObject : public Unknown {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

// Runs the body of an interface method: its result, or E_OUTOFMEMORY when memory ran out and
// E_FAIL for anything else thrown. The method sets its out-parameters to empty before.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// A text for a client; the caller checks for null (out of memory).
inline BSTR ToBstr(const std::string& text) { return SysAllocString(Wide(text).c_str()); }

// The system's standard client object of the window (null when it cannot be made), with one
// reference for the caller.
IAccessible* StandardClientObject(HWND hwnd);

// STATE_SYSTEM_UNAVAILABLE when the window or a container it lies in (below the top-level
// window) is disabled, since the user cannot reach it then; else 0.
long UnavailableState(HWND hwnd);

// The objects a window hands out, each with one reference for the caller (null when it cannot
// be made): an element of the window's own tree, or a container's object over the system's.
IAccessible* NewTreeElement(std::shared_ptr<AccessibleWindow::Link> link, AccessiblePath path);
IAccessible* NewContainerObject(std::shared_ptr<AccessibleWindow::Link> link);

}  // namespace tvx::win32
