#include "support/accessible_object.h"

#include <utility>

namespace tvx::test {

namespace {

AccessibleAnswer AnswerOf(HRESULT result, VARIANT& answer) {
  AccessibleAnswer out;
  out.result = result;
  if (answer.vt == VT_I4) out.id = answer.lVal;
  out.object = Accessible::From(answer);
  return out;
}

}  // namespace

VARIANT ChildArgument(long id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

Accessible::~Accessible() {
  if (object_ != nullptr) object_->Release();
}

Accessible Accessible::OfWindow(HWND window, LONG object_id) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(object_id), kAccessibleIid,
                                        reinterpret_cast<void**>(&object)))) {
    return Accessible();
  }
  return Accessible(object);
}

Accessible Accessible::From(VARIANT& answer) {
  Accessible result;
  if (answer.vt == VT_DISPATCH && answer.pdispVal != nullptr) {
    IAccessible* object = nullptr;
    if (SUCCEEDED(
            answer.pdispVal->QueryInterface(kAccessibleIid, reinterpret_cast<void**>(&object)))) {
      result = Accessible(object);
    }
  }
  VariantClear(&answer);
  return result;
}

long Accessible::Role(long child) const {
  VARIANT role;
  VariantInit(&role);
  if (FAILED(object_->get_accRole(ChildArgument(child), &role)) || role.vt != VT_I4) {
    VariantClear(&role);
    return -1;
  }
  return role.lVal;
}

long Accessible::State(long child) const {
  VARIANT state;
  VariantInit(&state);
  if (FAILED(object_->get_accState(ChildArgument(child), &state)) || state.vt != VT_I4) {
    VariantClear(&state);
    return -1;
  }
  return state.lVal;
}

std::wstring Accessible::Name(long child) const { return Text(&IAccessible::get_accName, child); }

std::wstring Accessible::Value(long child) const { return Text(&IAccessible::get_accValue, child); }

long Accessible::ChildCount() const {
  LONG count = -1;
  if (FAILED(object_->get_accChildCount(&count))) return -1;
  return count;
}

Accessible Accessible::ChildAt(long index) const {
  IDispatch* child = nullptr;
  if (object_->get_accChild(ChildArgument(index), &child) != S_OK || child == nullptr) {
    return Accessible();
  }
  VARIANT answer;
  VariantInit(&answer);
  answer.vt = VT_DISPATCH;
  answer.pdispVal = child;
  return From(answer);
}

RECT Accessible::Location(long child) const {
  LONG left = 0, top = 0, width = 0, height = 0;
  object_->accLocation(&left, &top, &width, &height, ChildArgument(child));
  return RECT{left, top, left + width, top + height};
}

HWND Accessible::Window() const {
  HWND window = nullptr;
  if (FAILED(WindowFromAccessibleObject(object_, &window))) return nullptr;
  return window;
}

std::vector<AccessibleAnswer> Accessible::Children() const {
  const long count = ChildCount();
  std::vector<AccessibleAnswer> children;
  if (count <= 0) return children;
  std::vector<VARIANT> items(static_cast<size_t>(count));
  LONG obtained = 0;
  const HRESULT result = AccessibleChildren(object_, 0, count, items.data(), &obtained);
  for (LONG i = 0; i < obtained; ++i) children.push_back(AnswerOf(result, items[i]));
  return children;
}

AccessibleAnswer Accessible::Focus() const {
  VARIANT focus;
  VariantInit(&focus);
  const HRESULT result = object_->get_accFocus(&focus);
  return AnswerOf(result, focus);
}

AccessibleAnswer Accessible::HitTest(POINT screen_point) const {
  VARIANT hit;
  VariantInit(&hit);
  const HRESULT result = object_->accHitTest(screen_point.x, screen_point.y, &hit);
  return AnswerOf(result, hit);
}

bool Accessible::IsWindowObject() const {
  VARIANT role;
  VariantInit(&role);
  const HRESULT result = object_->get_accRole(ChildArgument(CHILDID_SELF), &role);
  const bool window = result == E_NOTIMPL || (role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_WINDOW);
  VariantClear(&role);
  return window;
}

Accessible Accessible::PastWindowObject() && {
  if (object_ == nullptr || !IsWindowObject()) return std::move(*this);
  return OfWindow(Window(), OBJID_CLIENT);
}

std::wstring Accessible::Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                              long child) const {
  BSTR text = nullptr;
  const HRESULT result = (object_->*get)(ChildArgument(child), &text);
  if (FAILED(result)) return L"<failed>";
  if (text == nullptr) return L"<none>";
  std::wstring copy(text, SysStringLen(text));
  SysFreeString(text);
  return copy;
}

}  // namespace tvx::test
