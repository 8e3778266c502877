#include "ui/controls/date_mask.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "rtl/date_parse.h"
#include "support/format_settings_and_dates.h"

namespace tvx::test {
namespace {

TDateMask MaskOf(std::string_view settings_name) {
  return TDateMask(DateLayoutOf(Named(settings_name)));
}

int ThisYear() {
  int year = 0, month = 0, day = 0;
  DecodeDate(Date(), year, month, day);
  return year;
}

TEST(DateMask, LayoutFollowsTheFormatsOrderYearLengthAndSeparator) {
  struct Case {
    const char* settings;
    const char* blank;
    const char* shown;  // 5 March 2012
  };
  const Case kCases[] = {
      {"ru-RU", "  .  .    ", "05.03.2012"}, {"ru-RU-yy", "  .  .  ", "05.03.12"},
      {"en-US", "  /  /    ", "03/05/2012"}, {"en-GB", "  /  /    ", "05/03/2012"},
      {"ja-JP", "    /  /  ", "2012/03/05"},
  };
  for (const Case& c : kCases) {
    const TDateMask mask = MaskOf(c.settings);
    EXPECT_EQ(mask.BlankText(), c.blank) << c.settings;
    EXPECT_EQ(mask.Format(At(2012, 3, 5)), c.shown) << c.settings;
  }
}

TEST(DateMask, FormatShowsTheDatePartAndBlanksForNoDate) {
  const TDateMask mask = MaskOf("ru-RU");
  EXPECT_EQ(mask.Format(At(2012, 12, 31, 23, 59, 58)), "31.12.2012");
  EXPECT_EQ(mask.Format(At(5, 1, 2)), "02.01.0005");
  EXPECT_EQ(mask.Format(At(1899, 12, 29)), "29.12.1899");  // before day 0 is still a date
  for (TDateTime none :
       {0.0, MaxDate + 1, MinDate - 1, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(mask.Format(none), "  .  .    ") << none;
  }
  EXPECT_EQ(MaskOf("ru-RU-yy").Format(At(1999, 7, 4)), "04.07.99");
}

TEST(DateMask, BlankMeansNoDigitTyped) {
  const TDateMask mask = MaskOf("ru-RU");
  EXPECT_TRUE(mask.IsBlank("  .  .    "));
  EXPECT_FALSE(mask.IsBlank("  .  . 1  "));
  EXPECT_FALSE(mask.IsBlank(""));
  EXPECT_FALSE(mask.IsBlank("  /  /    "));
}

TEST(DateMask, ParsesCompleteAndCompletablePartialTexts) {
  const int year = ThisYear();
  struct Case {
    const char* settings;
    const char* text;
    TDateTime expected;
  };
  const Case kCases[] = {
      {"ru-RU", "31.12.2012", At(2012, 12, 31)},
      {"ru-RU", "29.02.2012", At(2012, 2, 29)},
      {"ru-RU", "01.01.0001", At(1, 1, 1)},
      {"ru-RU", "31.12.9999", At(9999, 12, 31)},
      {"ru-RU", "5 .3 .2012", At(2012, 3, 5)},
      {"ru-RU", " 5. 3.2012", At(2012, 3, 5)},
      {"ru-RU", "05.03.    ", At(year, 3, 5)},
      {"ru-RU", "05.03.12  ", At(ExpandTwoDigitYear(12, year), 3, 5)},
      {"ru-RU", "05.03.7   ", At(ExpandTwoDigitYear(7, year), 3, 5)},
      {"ru-RU-yy", "05.03.12", At(ExpandTwoDigitYear(12, year), 3, 5)},
      {"en-US", "12/31/2012", At(2012, 12, 31)},
      {"en-US", "3 /5 /2012", At(2012, 3, 5)},
      {"ja-JP", "2012/03/05", At(2012, 3, 5)},
  };
  for (const Case& c : kCases) {
    TDateTime date = -1;
    EXPECT_TRUE(MaskOf(c.settings).TryParse(c.text, date)) << c.settings << " '" << c.text << "'";
    EXPECT_EQ(date, c.expected) << c.settings << " '" << c.text << "'";
  }
}

TEST(DateMask, RefusesBlankIncompleteImpossibleAndForeignTexts) {
  struct Case {
    const char* settings;
    const char* text;
  };
  const Case kCases[] = {
      {"ru-RU", "  .  .    "},   // blank
      {"ru-RU", "31.  .2012"},   // no month
      {"ru-RU", "  .12.2012"},   // no day
      {"ru-RU", "31.12.201 "},   // a three-digit year is unfinished
      {"ru-RU", "31.12.2 12"},   // digits of one part apart
      {"ru-RU", "1 1.1.2012"},   // wrong layout
      {"ru-RU", "31.02.2012"},   // no such day
      {"ru-RU", "29.02.2013"},   // not a leap year
      {"ru-RU", "00.01.2012"},   // day 0
      {"ru-RU", "01.13.2012"},   // month 13
      {"ru-RU", "01.01.0000"},   // year 0
      {"ru-RU", "31/12/2012"},   // another separator
      {"ru-RU", "31.12.2012 "},  // longer than the layout
      {"ru-RU", "3a.12.2012"},   // a letter
      {"en-US", "31/12/2012"},   // day and month swapped
      {"ru-RU", ""},
  };
  for (const Case& c : kCases) {
    TDateTime date = 42;
    EXPECT_FALSE(MaskOf(c.settings).TryParse(c.text, date)) << c.settings << " '" << c.text << "'";
    EXPECT_EQ(date, 42) << "left alone";
  }
}

TEST(DateMask, EditablePositionsAreTheDigitsOfEachPart) {
  const TDateMask mask = MaskOf("ja-JP");
  EXPECT_EQ(mask.PartStart(TDatePart::Year), 0u);
  EXPECT_EQ(mask.PartLength(TDatePart::Year), 4u);
  EXPECT_EQ(mask.PartStart(TDatePart::Month), 5u);
  EXPECT_EQ(mask.PartStart(TDatePart::Day), 8u);
  std::string editable;
  for (std::size_t i = 0; i <= mask.Length(); ++i) editable += mask.IsEditable(i) ? 'e' : '-';
  EXPECT_EQ(editable, "eeee-ee-ee-");
}

}  // namespace
}  // namespace tvx::test
