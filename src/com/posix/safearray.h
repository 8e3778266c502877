// One-dimensional safe arrays of fixed-size elements (byte arrays above all), laid out as
// on 64-bit Windows. Arrays of strings, variants or interfaces are not supported:
// SafeArrayCreateVector refuses them with a null result.
#pragma once

#include "com/posix/vartype.h"

struct SAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
};

struct SAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  PVOID pvData;
  SAFEARRAYBOUND rgsabound[1];
};

inline constexpr USHORT FADF_HAVEVARTYPE = 0x0080;

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lower_bound, ULONG count);
// Fails with DISP_E_ARRAYISLOCKED while the data is accessed; a null array is fine.
HRESULT SafeArrayDestroy(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
// Dimensions count from 1.
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dimension, LONG* bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dimension, LONG* bound);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
// A deep copy, not locked; a null array copies to null.
HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy);
