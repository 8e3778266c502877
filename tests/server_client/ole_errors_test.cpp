#include <string>

#include <gtest/gtest.h>

#include "server_client/ole_errors.h"

namespace tvx::test {
namespace {

TEST(OleErrors, TrailingBlanksControlsAndFullStopsGo) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"Disk full.  \r\n", "Disk full"},
      {"Version 1.2 of the server.", "Version 1.2 of the server"},
      {"Нет связи с сервером...\n", "Нет связи с сервером"},
      {"Done!", "Done!"},
      {"  leading blanks stay", "  leading blanks stay"},
      {std::string("tab\t\0", 5), "tab"},
      {". \r\n.", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TrimTrailingPunctuation(c.in), c.out) << c.in;
}

TEST(OleErrors, CodesWithoutSystemTextNameTheCodeInHex) {
  const HRESULT code = static_cast<HRESULT>(0x8004ABCDu);
  EXPECT_EQ(SystemErrorText(code), "");
  EXPECT_EQ(OleErrorText(code), "OLE error 8004abcd");
}

TEST(OleErrors, SystemTextsComeTrimmed) {
  for (HRESULT code : {E_FAIL, E_ACCESSDENIED, E_INVALIDARG}) {
    const std::string text = SystemErrorText(code);
    ASSERT_FALSE(text.empty()) << std::hex << code;
    EXPECT_EQ(text, TrimTrailingPunctuation(text));
    EXPECT_EQ(OleErrorText(code), text);
  }
#ifndef _WIN32
  // Without a system message table: the texts Windows gives in English.
  EXPECT_EQ(SystemErrorText(E_FAIL), "Unspecified error");
  EXPECT_EQ(SystemErrorText(DISP_E_EXCEPTION), "Exception occurred");
  EXPECT_EQ(SystemErrorText(DISP_E_UNKNOWNNAME), "Unknown name");
#endif
}

}  // namespace
}  // namespace tvx::test
