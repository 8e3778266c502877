#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "com/bstr.h"
#include "com/com.h"

namespace tvx::test {
namespace {

std::uint32_t LengthPrefix(BSTR text) {
  std::uint32_t prefix;
  std::memcpy(&prefix, reinterpret_cast<const char*>(text) - 4, 4);
  return prefix;
}

const OLECHAR* Ole(const char16_t* text) { return reinterpret_cast<const OLECHAR*>(text); }

TEST(Bstr, PrefixCountsBytesAndANullFollows) {
  BSTR text = SysAllocString(Ole(u"Экспорт"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 7u);
  EXPECT_EQ(SysStringByteLen(text), 14u);
  EXPECT_EQ(LengthPrefix(text), 14u);
  EXPECT_EQ(text[7], 0);
  SysFreeString(text);
}

TEST(Bstr, EmbeddedNullsAreKept) {
  const char16_t chars[] = {u'a', 0, u'b'};
  BSTR text = SysAllocStringLen(Ole(chars), 3);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 3u);
  EXPECT_EQ(text[1], 0);
  EXPECT_EQ(text[2], u'b');
  EXPECT_EQ(text[3], 0);
  tvx::BStr copy = tvx::BStr::Adopt(text);
  // The copy is what is tested here.
  // NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
  tvx::BStr second(copy);
  EXPECT_NE(second.Get(), copy.Get());
  EXPECT_EQ(second.View(), std::u16string_view(chars, 3));
}

TEST(Bstr, OddByteLengthsKeepTheirBytes) {
  BSTR text = SysAllocStringByteLen("abc", 3);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringByteLen(text), 3u);
  EXPECT_EQ(SysStringLen(text), 1u);
  EXPECT_EQ(std::memcmp(text, "abc", 4), 0);  // the byte after the data is zero
  SysFreeString(text);
}

TEST(Bstr, NullStandsForTheEmptyString) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
  tvx::BStr empty;
  EXPECT_EQ(empty.Get(), nullptr);
  EXPECT_TRUE(empty.View().empty());
  EXPECT_EQ(tvx::BStr(empty).Get(), nullptr);
  // An empty string that is allocated is not null, but has length 0.
  tvx::BStr allocated(u"");
  EXPECT_NE(allocated.Get(), nullptr);
  EXPECT_EQ(allocated.Length(), 0u);
}

TEST(Bstr, LengthWithoutSourceAllocatesRoom) {
  BSTR text = SysAllocStringLen(nullptr, 4);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 4u);
  EXPECT_EQ(text[4], 0);
  SysFreeString(text);
}

TEST(Bstr, ReallocationMayReadFromTheOldString) {
  BSTR text = SysAllocString(Ole(u"history"));
  ASSERT_TRUE(SysReAllocString(&text, text + 3));
  EXPECT_EQ(tvx::BStrView(text), u"tory");
  ASSERT_TRUE(SysReAllocString(&text, nullptr));
  EXPECT_EQ(SysStringLen(text), 0u);
  SysFreeString(text);
  EXPECT_FALSE(SysReAllocString(nullptr, Ole(u"x")));
}

TEST(Bstr, OwnedStringMovesPutsAndDetaches) {
  tvx::BStr text(u"ExportData1C");
  EXPECT_EQ(text.ToU16String(), u"ExportData1C");
  tvx::BStr moved(std::move(text));
  EXPECT_EQ(text.Get(), nullptr);  // NOLINT(bugprone-use-after-move): moved-from is empty
  EXPECT_EQ(moved.Length(), 12u);

  // Put frees the held string before the callee writes a new one.
  *moved.Put() = SysAllocString(Ole(u"dspQuery"));
  EXPECT_EQ(moved.View(), u"dspQuery");

  BSTR raw = moved.Detach();
  EXPECT_EQ(moved.Get(), nullptr);
  EXPECT_EQ(tvx::BStrView(raw), u"dspQuery");
  SysFreeString(raw);

  tvx::BStr assigned;
  assigned = tvx::BStr(u"x");
  EXPECT_EQ(assigned.View(), u"x");
}

}  // namespace
}  // namespace tvx::test
