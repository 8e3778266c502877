#include "rtl/text.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tvx::test {
namespace {

TEST(Utf8ToUtf16, ConvertsWellFormedText) {
  EXPECT_EQ(Utf8ToUtf16(""), u"");
  EXPECT_EQ(Utf8ToUtf16("Экспорт данных в 1С"), u"Экспорт данных в 1С");
  EXPECT_EQ(Utf8ToUtf16("a\0b"), u"a");
  EXPECT_EQ(Utf8ToUtf16(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(Utf8ToUtf16("\u20AC\U0001F600\U0010FFFF"), u"\u20AC\U0001F600\U0010FFFF");
}

// Each ill-formed part becomes one U+FFFD; whatever follows it is read afresh.
TEST(Utf8ToUtf16, ReplacesIllFormedSequences) {
  struct Case {
    const char* bytes;
    const char16_t* expected;
  };
  const Case kCases[] = {
      {"\x80", u"\uFFFD"},
      {"\xFF", u"\uFFFD"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong '/'
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},  // overlong, three bytes
      {"\xF0\x80\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xE2\x82", u"\uFFFD"},                            // cut short at the end
      {"a\xE2\x82z", u"a\uFFFDz"},                        // cut short before a letter
      {"\xF0\x9F\x98\xD0\xAF", u"\uFFFDЯ"},
      {"\xD0", u"\uFFFD"},
      {"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xD0\xAF\x80\xD0\xAF", u"Я\uFFFDЯ"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
    EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected);
    // The same replacements reach UTF-8 output and Windows-1251 output.
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(c.bytes)), Utf16ToUtf8(c.expected));
  }
}

TEST(Utf16ToUtf8, ReplacesUnpairedSurrogates) {
  struct Case {
    std::u16string text;
    std::string expected;
  };
  const Case kCases[] = {
      {u"Я\U0001F600", "Я\U0001F600"},
      {std::u16string{0xD800}, "\uFFFD"},
      {std::u16string{0xDC00, 'a'}, "\uFFFDa"},
      {std::u16string{0xD83D, 'a', 0xDE00}, "\uFFFDa\uFFFD"},
      {std::u16string{0xDE00, 0xD83D}, "\uFFFD\uFFFD"},
      {std::u16string{0xD83D, 0xD83D, 0xDE00}, "\uFFFD\U0001F600"},
  };
  for (const Case& c : kCases) EXPECT_EQ(Utf16ToUtf8(c.text), c.expected);
}

TEST(Win1251, CyrillicRoundTripsExactly) {
  const std::string text = "Экспорт данных в 1С: Ёлка, ёж, №5, «ЙЦУКЕН» — йцукен";
  const std::string bytes = Utf8ToWin1251(text);
  EXPECT_EQ(bytes.size(), Utf8ToUtf16(text).size());
  EXPECT_EQ(Win1251ToUtf8(bytes), text);
  EXPECT_EQ(Utf8ToWin1251("Экспорт"), "\xDD\xEA\xF1\xEF\xEE\xF0\xF2");
  EXPECT_EQ(Utf8ToWin1251("АЯаяЁё"), "\xC0\xDF\xE0\xFF\xA8\xB8");
  EXPECT_EQ(Utf8ToWin1251("€‰™№ЂџҐґЇїІіЄєЎў"),
            "\x88\x89\x99\xB9\x80\x9F\xA5\xB4\xAF\xBF\xB2\xB3\xAA\xBA\xA1\xA2");
}

TEST(Win1251, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string utf8 = Win1251ToUtf8(all);
  EXPECT_EQ(Utf8ToWin1251(utf8), all);
  // Each byte is one character.
  EXPECT_EQ(Utf8ToUtf16(utf8).size(), 256u);
}

TEST(Win1251, UnmappableCharactersBecomeQuestionMarks) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case kCases[] = {
      {"caf\u00E9", "caf?"},     {"日本", "??"}, {"\U0001F600!", "?!"}, {"Ω\u0451", "?\xB8"},
      {"a\xFF\xC0\xAF", "a???"},  // ill-formed UTF-8
      {"\xE2\x82", "?"},
  };
  for (const Case& c : kCases) EXPECT_EQ(Utf8ToWin1251(c.text), c.expected) << c.text;
}

#ifdef _WIN32
// Our table against the system's own code page 1251.
TEST(Win1251, AgreesWithTheSystemCodePage) {
  for (int b = 0x80; b < 0x100; ++b) {
    char byte = static_cast<char>(b);
    wchar_t wide = 0;
    ASSERT_EQ(MultiByteToWideChar(1251, 0, &byte, 1, &wide, 1), 1);
    EXPECT_EQ(Utf8ToUtf16(Win1251ToUtf8(std::string(1, byte))), std::u16string(1, wide))
        << std::hex << b;
  }
}
#endif

}  // namespace
}  // namespace tvx::test
