#include "com/ole_variant.h"

#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "com/bstr.h"

namespace tvx {

OleVariant::OleVariant(const VARIANT& value) {
  VariantInit(&value_);
  const HRESULT hr = VariantCopy(&value_, const_cast<VARIANT*>(&value));
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) throw std::invalid_argument("the variant cannot be copied");
}

OleVariant::OleVariant(OleVariant&& other) noexcept : value_(other.value_) {
  VariantInit(&other.value_);
}

OleVariant& OleVariant::operator=(OleVariant other) noexcept {
  std::swap(value_, other.value_);
  return *this;
}

OleVariant OleVariant::Null() noexcept {
  OleVariant result;
  result.value_.vt = VT_NULL;
  return result;
}

OleVariant OleVariant::I4(std::int32_t value) noexcept {
  OleVariant result;
  result.value_.vt = VT_I4;
  result.value_.lVal = value;
  return result;
}

OleVariant OleVariant::Date(double value) noexcept {
  OleVariant result;
  result.value_.vt = VT_DATE;
  result.value_.date = value;
  return result;
}

OleVariant OleVariant::String(std::u16string_view text) {
  OleVariant result;
  result.value_.bstrVal = BStr(text).Detach();
  result.value_.vt = VT_BSTR;
  return result;
}

OleVariant OleVariant::Dispatch(IDispatch* object) noexcept {
  OleVariant result;
  if (object != nullptr) object->AddRef();
  result.value_.pdispVal = object;
  result.value_.vt = VT_DISPATCH;
  return result;
}

OleVariant OleVariant::Unknown(IUnknown* object) noexcept {
  OleVariant result;
  if (object != nullptr) object->AddRef();
  result.value_.punkVal = object;
  result.value_.vt = VT_UNKNOWN;
  return result;
}

OleVariant OleVariant::Bytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > std::numeric_limits<ULONG>::max()) throw std::bad_alloc();
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (array == nullptr) throw std::bad_alloc();
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) {
    SafeArrayDestroy(array);
    throw std::bad_alloc();
  }
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(array);
  OleVariant result;
  result.value_.parray = array;
  result.value_.vt = VT_ARRAY | VT_UI1;
  return result;
}

OleVariant OleVariant::ByRef(VARIANT* target) noexcept {
  OleVariant result;
  result.value_.pvarVal = target;
  result.value_.vt = VT_BYREF | VT_VARIANT;
  return result;
}

OleVariant OleVariant::Adopt(VARIANT& value) noexcept {
  OleVariant result;
  result.value_ = value;
  VariantInit(&value);
  return result;
}

VARIANT* OleVariant::Put() noexcept {
  Clear();
  return &value_;
}

void OleVariant::Clear() noexcept {
  VariantClear(&value_);
  VariantInit(&value_);
}

VARIANT OleVariant::Detach() noexcept {
  VARIANT result = value_;
  VariantInit(&value_);
  return result;
}

}  // namespace tvx
