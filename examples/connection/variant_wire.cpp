#include "connection/variant_wire.h"

#include <cstring>

#include "com/bstr.h"
#include "rtl/text.h"

namespace tvx::example {

namespace {

std::optional<std::vector<std::uint8_t>> ArrayBytes(SAFEARRAY* array) {
  if (array == nullptr) return std::vector<std::uint8_t>{};
  // An array made without a recorded element type passes by its element size.
  VARTYPE element = VT_EMPTY;
  const bool typed = SUCCEEDED(SafeArrayGetVartype(array, &element));
  if (SafeArrayGetDim(array) != 1 || (typed && element != VT_UI1) ||
      SafeArrayGetElemsize(array) != 1) {
    return std::nullopt;
  }
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  const std::size_t count = upper >= lower ? static_cast<std::size_t>(upper - lower) + 1 : 0;
  std::vector<std::uint8_t> bytes(count);
  void* data = nullptr;
  if (count > 0) {
    if (FAILED(SafeArrayAccessData(array, &data))) return std::nullopt;
    std::memcpy(bytes.data(), data, count);
    SafeArrayUnaccessData(array);
  }
  return bytes;
}

SAFEARRAY* NewByteArray(const std::vector<std::uint8_t>& bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (array == nullptr || bytes.empty()) return array;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) {
    SafeArrayDestroy(array);
    return nullptr;
  }
  std::memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(array);
  return array;
}

BSTR NewString(const std::string& text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()),
                           static_cast<UINT>(wide.size()));
}

std::string StringOf(BSTR text) { return Utf16ToUtf8(BStrView(text)); }

constexpr VARTYPE kByteArray = VT_ARRAY | VT_UI1;

}  // namespace

std::optional<WireValue> ToWireValue(const VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY:
      return WireValue::Empty();
    case VT_NULL:
      return WireValue::Null();
    case VT_I2:
      return WireValue::I2(value.iVal);
    case VT_I4:
      return WireValue::I4(value.lVal);
    case VT_R8:
      return WireValue::R8(value.dblVal);
    case VT_DATE:
      return WireValue::Date(value.date);
    case VT_BSTR:
      return WireValue::String(StringOf(value.bstrVal));
    case VT_BOOL:
      return WireValue::Bool(value.boolVal != VARIANT_FALSE);
    case kByteArray: {
      auto bytes = ArrayBytes(value.parray);
      if (!bytes) return std::nullopt;
      return WireValue::Bytes(std::move(*bytes));
    }
    default:
      return std::nullopt;
  }
}

std::optional<WireArgument> ToWireArgument(const VARIANT& argument) {
  if ((argument.vt & VT_BYREF) == 0) {
    auto value = ToWireValue(argument);
    if (!value) return std::nullopt;
    return WireArgument{Passing::kValue, std::move(*value)};
  }
  if (argument.byref == nullptr) return std::nullopt;
  const VARTYPE target = argument.vt & ~VT_BYREF;
  if (target == VT_VARIANT) {
    auto value = ToWireValue(*argument.pvarVal);
    if (!value) return std::nullopt;
    return WireArgument{Passing::kVariantReference, std::move(*value)};
  }
  std::optional<WireValue> value;
  switch (target) {
    case VT_I2:
      value = WireValue::I2(*argument.piVal);
      break;
    case VT_I4:
      value = WireValue::I4(*argument.plVal);
      break;
    case VT_R8:
      value = WireValue::R8(*argument.pdblVal);
      break;
    case VT_DATE:
      value = WireValue::Date(*argument.pdate);
      break;
    case VT_BSTR:
      value = WireValue::String(StringOf(*argument.pbstrVal));
      break;
    case VT_BOOL:
      value = WireValue::Bool(*argument.pboolVal != VARIANT_FALSE);
      break;
    case kByteArray: {
      auto bytes = ArrayBytes(*argument.pparray);
      if (bytes) value = WireValue::Bytes(std::move(*bytes));
      break;
    }
    default:
      break;
  }
  if (!value) return std::nullopt;
  return WireArgument{Passing::kTypedReference, std::move(*value)};
}

HRESULT FromWireValue(const WireValue& value, VARIANT* out) {
  VariantInit(out);
  switch (value.type) {
    case WireType::kEmpty:
      break;
    case WireType::kNull:
      out->vt = VT_NULL;
      break;
    case WireType::kI2:
      out->vt = VT_I2;
      out->iVal = static_cast<SHORT>(value.integer);
      break;
    case WireType::kI4:
      out->vt = VT_I4;
      out->lVal = value.integer;
      break;
    case WireType::kR8:
      out->vt = VT_R8;
      out->dblVal = value.real;
      break;
    case WireType::kDate:
      out->vt = VT_DATE;
      out->date = value.real;
      break;
    case WireType::kString:
      out->bstrVal = NewString(value.text);
      if (out->bstrVal == nullptr) return E_OUTOFMEMORY;
      out->vt = VT_BSTR;
      break;
    case WireType::kBool:
      out->vt = VT_BOOL;
      out->boolVal = value.integer != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case WireType::kBytes:
      out->parray = NewByteArray(value.bytes);
      if (out->parray == nullptr) return E_OUTOFMEMORY;
      out->vt = kByteArray;
      break;
  }
  return S_OK;
}

HRESULT StoreReference(const VARIANT& argument, const WireValue& value) {
  if ((argument.vt & VT_BYREF) == 0 || argument.byref == nullptr) return DISP_E_TYPEMISMATCH;
  const VARTYPE target = argument.vt & ~VT_BYREF;
  if (target == VT_VARIANT) {
    VARIANT fresh;
    const HRESULT hr = FromWireValue(value, &fresh);
    if (FAILED(hr)) return hr;
    VariantClear(argument.pvarVal);
    *argument.pvarVal = fresh;
    return S_OK;
  }
  if (static_cast<VARTYPE>(value.type) != target) return DISP_E_TYPEMISMATCH;
  switch (value.type) {
    case WireType::kI2:
      *argument.piVal = static_cast<SHORT>(value.integer);
      return S_OK;
    case WireType::kI4:
      *argument.plVal = value.integer;
      return S_OK;
    case WireType::kR8:
      *argument.pdblVal = value.real;
      return S_OK;
    case WireType::kDate:
      *argument.pdate = value.real;
      return S_OK;
    case WireType::kBool:
      *argument.pboolVal = value.integer != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    case WireType::kString: {
      BSTR fresh = NewString(value.text);
      if (fresh == nullptr) return E_OUTOFMEMORY;
      SysFreeString(*argument.pbstrVal);
      *argument.pbstrVal = fresh;
      return S_OK;
    }
    case WireType::kBytes: {
      SAFEARRAY* fresh = NewByteArray(value.bytes);
      if (fresh == nullptr) return E_OUTOFMEMORY;
      SafeArrayDestroy(*argument.pparray);
      *argument.pparray = fresh;
      return S_OK;
    }
    case WireType::kEmpty:
    case WireType::kNull:
      break;
  }
  return DISP_E_TYPEMISMATCH;
}

}  // namespace tvx::example
