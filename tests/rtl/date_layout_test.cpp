#include "rtl/date_layout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "rtl/date_parse.h"
#include "rtl/exceptions.h"
#include "support/format_settings_and_dates.h"

namespace tvx::test {
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
    EXPECT_EQ(DateLayoutOf(Named(c.name)), c.layout) << c.name;
  }
}

// The text of a date field: fixed widths, in the layout's order, readable again.
TEST(DateLayout, WritesAndReadsTheDateOfAField) {
  struct Case {
    TDateLayout layout;
    TDateTime value;
    const char* text;
  };
  const Case kCases[] = {
      {{TDateOrder::DMY, true, '.'}, EncodeDate(2012, 12, 31), "31.12.2012"},
      {{TDateOrder::DMY, true, '.'}, EncodeDate(2012, 1, 2) + 0.75, "02.01.2012"},
      {{TDateOrder::DMY, true, '.'}, -1.25, "29.12.1899"},
      {{TDateOrder::DMY, true, '.'}, EncodeDate(1, 1, 1), "01.01.0001"},
      {{TDateOrder::MDY, true, '/'}, EncodeDate(2012, 1, 2), "01/02/2012"},
      {{TDateOrder::YMD, true, '-'}, EncodeDate(2012, 1, 2), "2012-01-02"},
      {{TDateOrder::DMY, false, '.'}, EncodeDate(2012, 1, 2), "02.01.12"},
      {{TDateOrder::MDY, false, '/'}, EncodeDate(2005, 3, 7), "03/07/05"},
      {{TDateOrder::YMD, false, '/'}, EncodeDate(2005, 3, 7), "05/03/07"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(DateToLayoutText(c.value, c.layout), c.text);
    TDateTime back = 0;
    ASSERT_TRUE(TryStrToDate(c.text, back, c.layout)) << c.text;
    if (c.layout.FourDigitYear) {
      EXPECT_EQ(back, DateOf(c.value)) << c.text;
    } else {
      EXPECT_EQ(DateToLayoutText(back, c.layout), c.text);  // the year from the century window
    }
  }
  for (double invalid : {MaxDate + 1, MinDate - 1, std::nan("")}) {
    EXPECT_THROW(DateToLayoutText(invalid, {TDateOrder::DMY, true, '.'}), EConvertError);
  }
}

TEST(DateLayout, ReadsPartlyTypedFieldsOnlyWhenTheyHoldADate) {
  const TDateLayout layout{TDateOrder::DMY, true, '.'};
  TDateTime date = 0;
  EXPECT_FALSE(TryStrToDate("  .  .    ", date, layout));
  EXPECT_FALSE(TryStrToDate("31.  .2012", date, layout));
  EXPECT_FALSE(TryStrToDate("31.1 .2 12", date, layout));
  ASSERT_TRUE(TryStrToDate("1 .2 .2012", date, layout));
  EXPECT_EQ(date, EncodeDate(2012, 2, 1));
}

}  // namespace
}  // namespace tvx::test
