#include "rtl/exceptions.h"

#include <gtest/gtest.h>

namespace tvx::test {
namespace {

TEST(Exceptions, CarryTheirMessageAndClassName) {
  EXPECT_STREQ(EIntfCastError().what(), "Interface not supported");
  EXPECT_STREQ(EIntfCastError().ClassName(), "EIntfCastError");
  EResNotFound e("Resource not found: TFoo");
  const Exception& base = e;
  EXPECT_EQ(base.Message(), "Resource not found: TFoo");
  EXPECT_STREQ(base.ClassName(), "EResNotFound");
  EOleException ole("Disk full", static_cast<int32_t>(0x80004005), "Server");
  EXPECT_EQ(ole.ErrorCode(), static_cast<int32_t>(0x80004005));
  EXPECT_EQ(ole.Source(), "Server");
  EXPECT_THROW(Abort(), EAbort);
}

}  // namespace
}  // namespace tvx::test
