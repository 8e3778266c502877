#include "com/posix/safearray.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// Like Windows, the element type is kept in front of the descriptor; the prefix is
// 16 bytes so that the descriptor keeps the alignment that malloc gives.
constexpr std::size_t kPrefix = 16;

ULONG ElementSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_DATE:
      return 8;
    default:
      return 0;
  }
}

VARTYPE* VartypeSlot(SAFEARRAY* array) {
  return reinterpret_cast<VARTYPE*>(reinterpret_cast<char*>(array) - sizeof(VARTYPE));
}

std::size_t DataBytes(const SAFEARRAY* array) {
  return static_cast<std::size_t>(array->rgsabound[0].cElements) * array->cbElements;
}

}  // namespace

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lower_bound, ULONG count) {
  const ULONG size = ElementSize(vt);
  if (size == 0) return nullptr;
  if (count > std::numeric_limits<std::size_t>::max() / size) return nullptr;
  auto* block = static_cast<char*>(std::malloc(kPrefix + sizeof(SAFEARRAY)));
  if (block == nullptr) return nullptr;
  // One byte more than needed so that an empty array still has a data pointer.
  void* data = std::calloc(static_cast<std::size_t>(count) * size + 1, 1);
  if (data == nullptr) {
    std::free(block);
    return nullptr;
  }
  auto* array = reinterpret_cast<SAFEARRAY*>(block + kPrefix);
  *VartypeSlot(array) = vt;
  array->cDims = 1;
  array->fFeatures = FADF_HAVEVARTYPE;
  array->cbElements = size;
  array->cLocks = 0;
  array->pvData = data;
  array->rgsabound[0].cElements = count;
  array->rgsabound[0].lLbound = lower_bound;
  return array;
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (array == nullptr) return S_OK;
  if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  std::free(array->pvData);
  std::free(reinterpret_cast<char*>(array) - kPrefix);
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (array == nullptr || data == nullptr) return E_INVALIDARG;
  ++array->cLocks;
  *data = array->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dimension, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  if (dimension == 0 || dimension > array->cDims) return DISP_E_BADINDEX;
  *bound = array->rgsabound[0].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dimension, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  if (dimension == 0 || dimension > array->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = array->rgsabound[0];
  *bound = static_cast<LONG>(static_cast<std::int64_t>(b.lLbound) + b.cElements - 1);
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) { return array == nullptr ? 0 : array->cDims; }

UINT SafeArrayGetElemsize(SAFEARRAY* array) { return array == nullptr ? 0 : array->cbElements; }

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  if (array == nullptr || vt == nullptr) return E_INVALIDARG;
  *vt = *VartypeSlot(array);
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy) {
  if (copy == nullptr) return E_INVALIDARG;
  *copy = nullptr;
  if (array == nullptr) return S_OK;
  SAFEARRAY* result = SafeArrayCreateVector(*VartypeSlot(array), array->rgsabound[0].lLbound,
                                            array->rgsabound[0].cElements);
  if (result == nullptr) return E_OUTOFMEMORY;
  std::memcpy(result->pvData, array->pvData, DataBytes(array));
  *copy = result;
  return S_OK;
}
