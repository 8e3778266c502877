#include "rtl/ascii.h"

#include <gtest/gtest.h>

#include <string>

namespace tvx::test {
namespace {

// Only A-Z and a-z fold; bytes of UTF-8 letters outside ASCII compare as they are.
TEST(SameTextAscii, FoldsAsciiLettersOnly) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  const Case kCases[] = {
      {"btnOK", "BTNok", true},
      {"Panel_1", "pANEL_1", true},
      {"", "", true},
      {"btnOK", "btnOK1", false},
      {"@[`{", "@[`{", true},
      {"@", "`", false},  // 0x40 and 0x60 differ by the case bit but are no letters
      {"[", "{", false},
      {"Дата", "ДАТА", false},
      {"\xC0", "\xE0", false},  // А and а in Windows-1251 are no ASCII letters
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(SameTextAscii(c.a, c.b), c.same);
    EXPECT_EQ(SameTextAscii(c.b, c.a), c.same);
  }
}

TEST(SameTextAscii, PrefixesAndLowerCase) {
  EXPECT_TRUE(StartsWithTextAscii("AM/PM h", "am/pm"));
  EXPECT_TRUE(StartsWithTextAscii("a/p", "A/P"));
  EXPECT_FALSE(StartsWithTextAscii("am", "am/pm"));
  EXPECT_EQ(AsciiLowerCase("Command12 Ж"), "command12 Ж");
  EXPECT_TRUE(IsAsciiLetter('z'));
  EXPECT_FALSE(IsAsciiLetter('\xE0'));
  EXPECT_FALSE(IsAsciiDigit('a'));
}

}  // namespace
}  // namespace tvx::test
