// The host SDK's own helpers: text conversion and turning statuses back into exceptions.
#include <string>

#include <gtest/gtest.h>

#include "tavolex/host.h"
#include "tavolex/unknown_impl.h"

namespace tvx::test {
namespace {

struct TextCase {
  std::string utf8;
  std::u16string utf16;
};

TEST(SdkTextTest, WellFormedTextsSurviveBothWays) {
  const TextCase cases[] = {
      {"", u""},
      {"Plugin.Norvalen.PlgTavolex", u"Plugin.Norvalen.PlgTavolex"},
      {"Экспорт данных в 1С\r\n", u"Экспорт данных в 1С\r\n"},
      {"\xF0\x9F\x93\x81 \xE2\x82\xAC", u"\U0001F4C1 \u20AC"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(tavolex::ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(tavolex::ToUtf8(c.utf16), c.utf8) << c.utf8;
  }
}

TEST(SdkTextTest, IllFormedInputBecomesReplacementCharacters) {
  EXPECT_EQ(tavolex::ToUtf16("a\x80z"), u"a\uFFFDz");                  // stray continuation byte
  EXPECT_EQ(tavolex::ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong form
  EXPECT_EQ(tavolex::ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(tavolex::ToUtf16("\xD0"), u"\uFFFD");                      // cut short
  const char16_t lone[] = {u'a', 0xD800, u'z', 0};
  EXPECT_EQ(tavolex::ToUtf8(lone), "a\xEF\xBF\xBDz");
}

TEST(SdkCheckTest, AFailureWithoutErrorInfoNamesItsStatus) {
  SetErrorInfo(0, nullptr);
  try {
    tavolex::Check(E_FAIL);
    ADD_FAILURE() << "no exception";
  } catch (const tavolex::ModuleError& error) {
    EXPECT_EQ(error.Status(), E_FAIL);
    EXPECT_EQ(error.ClassName(), "");
    EXPECT_STREQ(error.what(), "The call failed with status 80004005");
  }
}

// The silent abort is a success: Check hands it back for the host to tell it from S_OK, and
// throws for nothing that succeeded.
TEST(SdkCheckTest, SuccessesComeBackAndTheSilentAbortIsOne) {
  EXPECT_TRUE(SUCCEEDED(tavolex::kSilentAbort));
  EXPECT_NE(tavolex::kSilentAbort, S_OK);
  EXPECT_EQ(tavolex::Check(S_OK), S_OK);
  EXPECT_EQ(tavolex::Check(tavolex::kSilentAbort), tavolex::kSilentAbort);
  EXPECT_THROW(tavolex::Check(E_ABORT), tavolex::ModuleError);
}

// A host object hands out a reference through an out-parameter: the receiver owns one more.
TEST(SdkRefTest, CopyToHandsOutAReferenceForTheReceiver) {
  struct Counted final : tavolex::UnknownImpl<IUnknown> {
    void LastReleased() noexcept override {}
  } object;
  {
    const tavolex::Ref<IUnknown> held(static_cast<IUnknown*>(&object));
    IUnknown* out = nullptr;
    EXPECT_EQ(held.CopyTo(&out), S_OK);
    EXPECT_EQ(out, &object);
    EXPECT_EQ(object.References(), 3u);
    out->Release();
    EXPECT_EQ(held.CopyTo(static_cast<IUnknown**>(nullptr)), E_POINTER);
  }
  EXPECT_EQ(object.References(), 1u);
  IUnknown* out = &object;
  EXPECT_EQ(tavolex::Ref<IUnknown>().CopyTo(&out), S_OK);
  EXPECT_EQ(out, nullptr);
}

}  // namespace
}  // namespace tvx::test
