#include "rtl/date_layout.h"

#include <gtest/gtest.h>

#include "rtl_test_support.h"

namespace tvx {
namespace {

TEST(DateLayout, OrderComesFromTheFirstDateField) {
  struct Case {
    const char* format;
    TDateOrder order;
  };
  const Case kCases[] = {
      {"dd.MM.yyyy", TDateOrder::DMY},        {"d/M/yy", TDateOrder::DMY},
      {"M/d/yyyy", TDateOrder::MDY},          {"MMMM d, yyyy", TDateOrder::MDY},
      {"yyyy/MM/dd", TDateOrder::YMD},        {"yyyy. M. d.", TDateOrder::YMD},
      {"YYYY-MM-DD", TDateOrder::YMD},        {"DD.MM.YYYY", TDateOrder::DMY},
      {"dddd, d MMMM yyyy", TDateOrder::DMY},  // the weekday is no day field
      {"ddd M/d/yy", TDateOrder::MDY},        {"'d' yyyy-MM-dd", TDateOrder::YMD},
      {"HH:mm dd.MM", TDateOrder::DMY},       {"", TDateOrder::DMY},
  };
  for (const Case& c : kCases) EXPECT_EQ(DateOrderOf(c.format), c.order) << c.format;
}

TEST(DateLayout, FourDigitYearInAnyLetterCase) {
  struct Case {
    const char* format;
    bool four_digits;
  };
  const Case kCases[] = {{"dd.MM.yyyy", true}, {"DD.MM.YYYY", true}, {"yYyY/M/d", true},
                         {"d/M/yyyyy", true},  {"dd.MM.yy", false},  {"yyy-M-d", false},
                         {"yy.yy", false},     {"", false}};
  for (const Case& c : kCases) EXPECT_EQ(HasFourDigitYear(c.format), c.four_digits) << c.format;
}

TEST(DateLayout, OfNamedSettings) {
  struct Case {
    const char* name;
    TDateLayout layout;
  };
  const Case kCases[] = {
      {"ru-RU", {TDateOrder::DMY, true, '.'}}, {"ru-RU-yy", {TDateOrder::DMY, false, '.'}},
      {"en-US", {TDateOrder::MDY, true, '/'}}, {"en-GB", {TDateOrder::DMY, true, '/'}},
      {"de-DE", {TDateOrder::DMY, true, '.'}}, {"ja-JP", {TDateOrder::YMD, true, '/'}},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(DateLayoutOf(testing_support::Named(c.name)), c.layout) << c.name;
  }
}

}  // namespace
}  // namespace tvx
