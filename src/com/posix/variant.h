// VARIANT: a type code and a 16-byte value, 24 bytes in all as on 64-bit Windows, with the
// field names that Windows uses. VariantClear frees what the variant owns (strings, arrays,
// interface references); VariantCopy makes deep copies of strings and arrays and adds a
// reference to interfaces; by-reference variants own nothing.
#pragma once

#include "com/posix/bstr.h"
#include "com/posix/safearray.h"
#include "com/posix/unknown.h"
#include "com/posix/vartype.h"

struct IDispatch;
struct VARIANT;

using VARIANT_BOOL = SHORT;
using DATE = double;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    DATE date;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SAFEARRAY* parray;
    BYTE* pbVal;
    SHORT* piVal;
    LONG* plVal;
    LONGLONG* pllVal;
    FLOAT* pfltVal;
    DOUBLE* pdblVal;
    VARIANT_BOOL* pboolVal;
    SCODE* pscode;
    DATE* pdate;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    SAFEARRAY** pparray;
    VARIANT* pvarVal;
    PVOID byref;
    CHAR cVal;
    USHORT uiVal;
    ULONG ulVal;
    ULONGLONG ullVal;
    INT intVal;
    UINT uintVal;
    CHAR* pcVal;
    USHORT* puiVal;
    ULONG* pulVal;
    ULONGLONG* pullVal;
    INT* pintVal;
    UINT* puintVal;
    // The widest member on Windows (a record and its type description): fixes the size.
    PVOID record_words_[2];
  };
};
using VARIANTARG = VARIANT;

#define V_VT(v) ((v)->vt)
#define V_ISBYREF(v) ((V_VT(v) & VT_BYREF) != 0)
#define V_ISARRAY(v) ((V_VT(v) & VT_ARRAY) != 0)
#define V_I2(v) ((v)->iVal)
#define V_I4(v) ((v)->lVal)
#define V_R8(v) ((v)->dblVal)
#define V_DATE(v) ((v)->date)
#define V_BOOL(v) ((v)->boolVal)
#define V_BSTR(v) ((v)->bstrVal)
#define V_UNKNOWN(v) ((v)->punkVal)
#define V_DISPATCH(v) ((v)->pdispVal)
#define V_ARRAY(v) ((v)->parray)
#define V_VARIANTREF(v) ((v)->pvarVal)

// Sets the type to VT_EMPTY; does not free anything.
void VariantInit(VARIANTARG* v);
// Frees what the variant owns and leaves it VT_EMPTY; DISP_E_BADVARTYPE for a type code
// outside the supported set, DISP_E_ARRAYISLOCKED for an accessed array (unchanged then).
HRESULT VariantClear(VARIANTARG* v);
// Clears `dest`, then copies `source` into it.
HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* source);
