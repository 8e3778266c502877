#include "com/posix/variant.h"

namespace {

bool IsScalar(VARTYPE base) {
  switch (base) {
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_ERROR:
    case VT_BOOL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

bool IsOwnedReference(VARTYPE base) {
  return base == VT_BSTR || base == VT_DISPATCH || base == VT_UNKNOWN;
}

// The type codes this subset handles: plain values, strings, interfaces, arrays of plain
// values, and references to any of these or to a variant.
bool IsSupported(VARTYPE vt) {
  const VARTYPE base = vt & VT_TYPEMASK;
  const VARTYPE flags = vt & ~VT_TYPEMASK;
  if (flags == 0)
    return base == VT_EMPTY || base == VT_NULL || IsScalar(base) || IsOwnedReference(base);
  if ((flags & ~(VT_ARRAY | VT_BYREF)) != 0) return false;
  if ((flags & VT_ARRAY) != 0) return IsScalar(base);
  return IsScalar(base) || IsOwnedReference(base) || base == VT_VARIANT;
}

}  // namespace

void VariantInit(VARIANTARG* v) { v->vt = VT_EMPTY; }

HRESULT VariantClear(VARIANTARG* v) {
  if (v == nullptr) return E_INVALIDARG;
  if (!IsSupported(v->vt)) return DISP_E_BADVARTYPE;
  if ((v->vt & VT_BYREF) == 0) {
    if ((v->vt & VT_ARRAY) != 0) {
      const HRESULT hr = SafeArrayDestroy(v->parray);
      if (FAILED(hr)) return hr;
    } else if (v->vt == VT_BSTR) {
      SysFreeString(v->bstrVal);
    } else if (v->vt == VT_DISPATCH || v->vt == VT_UNKNOWN) {
      if (v->punkVal != nullptr) v->punkVal->Release();
    }
  }
  v->vt = VT_EMPTY;
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* source) {
  if (dest == nullptr || source == nullptr) return E_INVALIDARG;
  if (!IsSupported(source->vt)) return DISP_E_BADVARTYPE;
  if (dest == source) return S_OK;
  HRESULT hr = VariantClear(dest);
  if (FAILED(hr)) return hr;
  *dest = *source;
  if ((source->vt & VT_BYREF) != 0) return S_OK;
  if ((source->vt & VT_ARRAY) != 0) {
    hr = SafeArrayCopy(source->parray, &dest->parray);
  } else if (source->vt == VT_BSTR && source->bstrVal != nullptr) {
    dest->bstrVal = SysAllocStringByteLen(reinterpret_cast<const char*>(source->bstrVal),
                                          SysStringByteLen(source->bstrVal));
    if (dest->bstrVal == nullptr) hr = E_OUTOFMEMORY;
  } else if ((source->vt == VT_DISPATCH || source->vt == VT_UNKNOWN) &&
             source->punkVal != nullptr) {
    source->punkVal->AddRef();
  }
  if (FAILED(hr)) dest->vt = VT_EMPTY;
  return hr;
}
