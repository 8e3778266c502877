#include "rtl/date_parse.h"

#include <gtest/gtest.h>

#include "rtl/date_format.h"
#include "rtl/date_layout.h"
#include "rtl/exceptions.h"
#include "support/format_settings_and_dates.h"

namespace tvx::test {
namespace {

int ThisYear() {
  int y = 0, m = 0, d = 0;
  DecodeDate(Date(), y, m, d);
  return y;
}

TFormatSettings WithDateFormat(const char* format, char separator) {
  TFormatSettings s = Named("ru-RU");
  s.ShortDateFormat = format;
  s.DateSeparator = separator;
  return s;
}

TEST(ExpandTwoDigitYear, KeepsTheYearWithinFiftyYears) {
  struct Case {
    int two_digits, current_year, expected;
  };
  const Case kCases[] = {
      {12, 2026, 2012}, {75, 2026, 2075}, {76, 2026, 1976}, {0, 2026, 2000},
      {99, 2026, 1999}, {50, 2000, 1950}, {49, 2000, 2049}, {49, 1999, 1949},
      {48, 1999, 2048}, {0, 2050, 2000},  {99, 2050, 2099}, {0, 2051, 2100},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ExpandTwoDigitYear(c.two_digits, c.current_year), c.expected)
        << c.two_digits << " in " << c.current_year;
  }
}

struct ParseCase {
  const char* text;
  int year, month, day;  // year 0: the text is refused
};

void ExpectParses(const TFormatSettings& settings, const ParseCase& c) {
  SCOPED_TRACE(testing::Message() << settings.ShortDateFormat << " \"" << c.text << '"');
  TDateTime date = -7;
  if (c.year == 0) {
    EXPECT_FALSE(TryStrToDate(c.text, date, settings));
    EXPECT_EQ(date, -7);  // left alone
    try {
      StrToDate(c.text, settings);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(c.text) + "' is not a valid date");
    }
    return;
  }
  ASSERT_TRUE(TryStrToDate(c.text, date, settings));
  EXPECT_EQ(date, EncodeDate(c.year, c.month, c.day));
  EXPECT_EQ(StrToDate(c.text, settings), date);
}

TEST(StrToDate, ReadsDayMonthYear) {
  const int now = ThisYear();
  const ParseCase kCases[] = {
      {"31.12.2012", 2012, 12, 31},
      {"1.2.2012", 2012, 2, 1},
      {"  01 . 02 . 2012  ", 2012, 2, 1},
      {"29.02.2000", 2000, 2, 29},
      {"01.01.0001", 1, 1, 1},
      {"31.12.9999", 9999, 12, 31},
      {"30.12.1899", 1899, 12, 30},
      {"7.3.012", 12, 3, 7},  // three digits are a full year
      {"31.12.12", ExpandTwoDigitYear(12, now), 12, 31},
      {"1.1.5", ExpandTwoDigitYear(5, now), 1, 1},
      {"31.12", now, 12, 31},
      {"31.12.", now, 12, 31},
      {"31.12.2012.", 2012, 12, 31},
      // Refused.
      {"", 0, 0, 0},
      {"   ", 0, 0, 0},
      {"  .  .    ", 0, 0, 0},  // a blank masked date
      {"31", 0, 0, 0},
      {"31.", 0, 0, 0},
      {"31..2012", 0, 0, 0},
      {".12.2012", 0, 0, 0},
      {"29.02.1900", 0, 0, 0},
      {"29.02.2023", 0, 0, 0},
      {"31.04.2012", 0, 0, 0},
      {"00.12.2012", 0, 0, 0},
      {"1.13.2012", 0, 0, 0},
      {"1.0.2012", 0, 0, 0},
      {"01.01.0000", 0, 0, 0},
      {"31/12/2012", 0, 0, 0},
      {"31-12-2012", 0, 0, 0},
      {"31.12.2012 10:00", 0, 0, 0},
      {"31.12.2012x", 0, 0, 0},
      {"x31.12.2012", 0, 0, 0},
      {"31.12.2012.1", 0, 0, 0},
      {"31.12.2012..", 0, 0, 0},
      {"31.12.20122", 0, 0, 0},
      {"031.12.2012", 0, 0, 0},
      {"31.012.2012", 0, 0, 0},
      {"+1.12.2012", 0, 0, 0},
      {"1.12.-2012", 0, 0, 0},
      {"1 2.12.2012", 0, 0, 0},
      {"99999999999999999999.1.2012", 0, 0, 0},
      {"３１.１２.２０１２", 0, 0, 0},  // digits other than ASCII
  };
  for (const ParseCase& c : kCases) ExpectParses(Named("ru-RU"), c);
}

TEST(StrToDate, FollowsTheOrderOfTheShortDateFormat) {
  const int now = ThisYear();
  struct Case {
    const char* settings;
    ParseCase parse;
  };
  const Case kCases[] = {
      {"en-US", {"12/31/2012", 2012, 12, 31}},
      {"en-US", {"2/29/2024", 2024, 2, 29}},
      {"en-US", {"12/31", now, 12, 31}},
      {"en-US", {"31/12/2012", 0, 0, 0}},
      {"en-US", {"12.31.2012", 0, 0, 0}},
      {"en-GB", {"31/12/2012", 2012, 12, 31}},
      {"ja-JP", {"2012/12/31", 2012, 12, 31}},
      {"ja-JP", {"2012/1/2", 2012, 1, 2}},
      {"ja-JP", {"12/31", now, 12, 31}},
      {"ja-JP", {"31/12/2012", 0, 0, 0}},
      {"ja-JP", {"12/31/12", 0, 0, 0}},  // 31 is no month
      {"ja-JP", {"12/12/31", ExpandTwoDigitYear(12, now), 12, 31}},
      {"ru-RU-yy", {"31.12.12", ExpandTwoDigitYear(12, now), 12, 31}},
      {"ru-RU-yy", {"31.12.2012", 2012, 12, 31}},
  };
  for (const Case& c : kCases) ExpectParses(Named(c.settings), c.parse);
}

// What DateToStr writes, TryStrToDate reads back, in every named setting and in formats with
// blanks, trailing separators and other separators.
TEST(StrToDate, ReadsBackWhatDateToStrWrites) {
  std::vector<TFormatSettings> all;
  for (const std::string& name : FormatSettingsNames()) all.push_back(Named(name));
  all.push_back(WithDateFormat("yyyy. M. d.", '.'));
  all.push_back(WithDateFormat("d. M. yyyy", '.'));
  all.push_back(WithDateFormat("dd-MM-yyyy", '-'));
  all.push_back(WithDateFormat("yyyy/MM/dd", '-'));  // '/' writes the separator
  all.push_back(WithDateFormat("MM dd yyyy", ' '));

  const int now = ThisYear();
  const TDateTime kDates[] = {
      EncodeDate(1, 1, 1),        EncodeDate(1899, 12, 30),     EncodeDate(1900, 2, 28),
      EncodeDate(2000, 2, 29),    EncodeDate(2012, 12, 31),     EncodeDate(now, 1, 1),
      EncodeDate(now - 50, 6, 1), EncodeDate(now + 49, 12, 31), EncodeDate(9999, 12, 31)};
  for (const TFormatSettings& s : all) {
    for (TDateTime date : kDates) {
      int y = 0, m = 0, d = 0;
      DecodeDate(date, y, m, d);
      // A two-digit year can only bring back a date of the century window.
      if (!HasFourDigitYear(s.ShortDateFormat) && (y < now - 50 || y > now + 49)) continue;
      std::string text = DateToStr(ComposeDateTime(date, 0.75), s);
      TDateTime back = 0;
      EXPECT_TRUE(TryStrToDate(text, back, s)) << s.ShortDateFormat << ": " << text;
      EXPECT_EQ(back, date) << s.ShortDateFormat << ": " << text;
    }
  }
}

}  // namespace
}  // namespace tvx::test
