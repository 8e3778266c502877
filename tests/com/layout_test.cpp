// The structures that cross the COM boundary must have the sizes and offsets that 64-bit
// Windows gives them; on Windows this checks the system's headers, elsewhere our own.
#include <cstddef>

#include <gtest/gtest.h>

#include "com/com.h"

namespace tvx::test {
namespace {

static_assert(sizeof(GUID) == 16);
static_assert(sizeof(HRESULT) == 4);
static_assert(sizeof(OLECHAR) == 2);
static_assert(sizeof(VARTYPE) == 2);
static_assert(sizeof(DATE) == 8);

#if defined(__x86_64__) || defined(_M_X64) || defined(__aarch64__)
static_assert(sizeof(VARIANT) == 24);
static_assert(offsetof(VARIANT, vt) == 0);
static_assert(sizeof(SAFEARRAY) == 32);
static_assert(offsetof(SAFEARRAY, cbElements) == 4);
static_assert(offsetof(SAFEARRAY, cLocks) == 8);
static_assert(offsetof(SAFEARRAY, pvData) == 16);
static_assert(offsetof(SAFEARRAY, rgsabound) == 24);
static_assert(sizeof(DISPPARAMS) == 24);
static_assert(offsetof(DISPPARAMS, cArgs) == 16);
static_assert(sizeof(EXCEPINFO) == 64);
static_assert(offsetof(EXCEPINFO, bstrSource) == 8);
static_assert(offsetof(EXCEPINFO, bstrDescription) == 16);
static_assert(offsetof(EXCEPINFO, pfnDeferredFillIn) == 48);
static_assert(offsetof(EXCEPINFO, scode) == 56);
#endif

TEST(ComLayout, EveryValueFieldStartsAtOffsetEight) {
  VARIANT v;
  const auto* base = reinterpret_cast<const char*>(&v);
  const void* fields[] = {&v.lVal,     &v.iVal,    &v.dblVal, &v.date,    &v.boolVal, &v.bstrVal,
                          &v.pdispVal, &v.punkVal, &v.parray, &v.pvarVal, &v.byref};
  for (const void* field : fields) {
    EXPECT_EQ(static_cast<const char*>(field) - base, 8);
  }
}

TEST(ComLayout, StatusCodesHaveTheirWindowsValues) {
  EXPECT_TRUE(SUCCEEDED(S_OK));
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
  EXPECT_TRUE(FAILED(E_FAIL));
  EXPECT_EQ(static_cast<unsigned>(E_FAIL), 0x80004005u);
  EXPECT_EQ(static_cast<unsigned>(E_NOINTERFACE), 0x80004002u);
  EXPECT_EQ(static_cast<unsigned>(DISP_E_UNKNOWNNAME), 0x80020006u);
  EXPECT_EQ(static_cast<unsigned>(DISP_E_MEMBERNOTFOUND), 0x80020003u);
  EXPECT_EQ(static_cast<unsigned>(DISP_E_EXCEPTION), 0x80020009u);
  EXPECT_EQ(static_cast<unsigned>(DISP_E_BADPARAMCOUNT), 0x8002000Eu);
  EXPECT_EQ(static_cast<unsigned>(DISP_E_TYPEMISMATCH), 0x80020005u);
  EXPECT_EQ(static_cast<unsigned>(DISP_E_PARAMNOTFOUND), 0x80020004u);
  EXPECT_EQ(static_cast<unsigned>(DISP_E_BADVARTYPE), 0x80020008u);
  EXPECT_EQ(VT_ARRAY | VT_UI1, 0x2011);
  EXPECT_EQ(VT_BYREF | VT_VARIANT, 0x400C);
  EXPECT_EQ(DISPATCH_METHOD, 1);
}

}  // namespace
}  // namespace tvx::test
