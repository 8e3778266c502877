#include <cstdint>

#include <gtest/gtest.h>

#include "com/com.h"

namespace tvx::test {
namespace {

TEST(SafeArray, VectorHasOneDimensionAndItsBounds) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 1, 4);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  EXPECT_EQ(array->cbElements, 1u);
  LONG lower = 0, upper = 0;
  EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 4);
  EXPECT_EQ(SafeArrayGetLBound(array, 2, &lower), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetUBound(array, 0, &upper), DISP_E_BADINDEX);
  VARTYPE vt = VT_EMPTY;
  EXPECT_EQ(SafeArrayGetVartype(array, &vt), S_OK);
  EXPECT_EQ(vt, VT_UI1);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, EmptyVectorHasUpperBoundBelowLower) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 0);
  ASSERT_NE(array, nullptr);
  LONG upper = 0;
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  EXPECT_EQ(upper, -1);
  SAFEARRAY* copy = nullptr;
  EXPECT_EQ(SafeArrayCopy(array, &copy), S_OK);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->rgsabound[0].cElements, 0u);
  EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, AccessLocksUntilUnaccessed) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 3);
  ASSERT_NE(array, nullptr);
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
  EXPECT_EQ(data, array->pvData);
  EXPECT_EQ(array->cLocks, 1u);
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(array->cLocks, 0u);
  EXPECT_EQ(SafeArrayUnaccessData(array), E_UNEXPECTED);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, CopyIsIndependentAndUnlocked) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, 2);
  ASSERT_NE(array, nullptr);
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
  static_cast<std::int32_t*>(data)[1] = 1234;
  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
  static_cast<std::int32_t*>(data)[1] = 0;
  ASSERT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(copy->cLocks, 0u);
  EXPECT_EQ(copy->cbElements, 4u);
  EXPECT_EQ(static_cast<std::int32_t*>(copy->pvData)[1], 1234);
  EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);

  SAFEARRAY* none = array;
  EXPECT_EQ(SafeArrayCopy(nullptr, &none), S_OK);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
}

}  // namespace
}  // namespace tvx::test
