// What a screen reader reads of a window, asked as one asks: an IAccessible reached through
// AccessibleObjectFromWindow (or handed out by another), and the texts, roles, states,
// children, focus and hit tests it answers. Windows only.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h.
#include <oleacc.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tvx::test {

// MinGW's oleacc library resolves IID_IAccessible to an import thunk, not the identifier.
inline constexpr IID kAccessibleIid = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// A child argument: CHILDID_SELF or a child's id.
VARIANT ChildArgument(long id);

struct AccessibleAnswer;

// A reference to an IAccessible, released when it goes.
class Accessible {
 public:
  Accessible() = default;
  explicit Accessible(IAccessible* object) : object_(object) {}
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;
  Accessible(Accessible&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  Accessible& operator=(Accessible&& other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~Accessible();

  // The window's object (OBJID_CLIENT, OBJID_WINDOW, ...), or none.
  static Accessible OfWindow(HWND window, LONG object_id = OBJID_CLIENT);
  // The object a VARIANT answer names (VT_DISPATCH), or none; the VARIANT is cleared.
  static Accessible From(VARIANT& answer);

  explicit operator bool() const { return object_ != nullptr; }
  IAccessible* operator->() const { return object_; }

  // Failures answer -1 (role, state, count) or "<failed>" (texts); no text is "<none>".
  long Role(long child = CHILDID_SELF) const;
  long State(long child = CHILDID_SELF) const;
  std::wstring Name(long child = CHILDID_SELF) const;
  std::wstring Value(long child = CHILDID_SELF) const;
  long ChildCount() const;
  Accessible ChildAt(long index) const;
  RECT Location(long child = CHILDID_SELF) const;
  // The window the object belongs to (WindowFromAccessibleObject), or null.
  HWND Window() const;

  // The children as AccessibleChildren gives them: objects, or ids of simple elements.
  std::vector<AccessibleAnswer> Children() const;
  AccessibleAnswer Focus() const;
  AccessibleAnswer HitTest(POINT screen_point) const;

  // Whether this is a window object (OBJID_WINDOW): Windows' has the frame's parts and the
  // client object as children, Wine 8's is a stub that answers nothing.
  bool IsWindowObject() const;
  // The client object where this is a window object (where Windows' window object leads);
  // else this object itself.
  Accessible PastWindowObject() &&;

 private:
  std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                    long child) const;

  IAccessible* object_ = nullptr;
};

// An element as an answer names it: an object of its own, or an id among the children of the
// object asked (CHILDID_SELF: that object itself); neither when the answer names nothing.
struct AccessibleAnswer {
  HRESULT result = E_FAIL;
  Accessible object;
  std::optional<long> id;
};

}  // namespace tvx::test
