#include "rtl/date_format.h"

#include <gtest/gtest.h>

#include <cmath>

#include "rtl/exceptions.h"
#include "support/format_settings_and_dates.h"

namespace tvx::test {
namespace {

struct FormatCase {
  const char* settings;
  const char* format;
  TDateTime value;
  const char* expected;
};

// 31 December 2012 was a Monday, 7 March 2005 a Monday, 29 December 1899 a Friday.
const FormatCase kFormatCases[] = {
    // Numeric date fields and their widths.
    {"ru-RU", "dd.MM.yyyy", At(2012, 12, 31, 18, 5, 9, 45), "31.12.2012"},
    {"ru-RU", "d.M.yy", At(2005, 3, 7), "7.3.05"},
    {"ru-RU", "dd.MM.yy", At(2005, 3, 7), "07.03.05"},
    {"ru-RU", "y yy yyy yyyy", At(2005, 3, 7), "5 05 2005 2005"},
    {"ru-RU", "yyyy yy", At(1, 1, 1), "0001 01"},
    {"ru-RU", "YYYY-MM-DD", At(9999, 12, 31, 23, 59, 59, 999), "9999-12-31"},
    // '/' and ':' write the settings' separators; other characters stand as written.
    {"ru-RU", "dd/MM/yyyy", At(2012, 12, 31), "31.12.2012"},
    {"en-US", "M/d/yyyy", At(2012, 12, 31), "12/31/2012"},
    {"de-DE", "yyyy-MM-dd", At(2012, 1, 2), "2012-01-02"},
    // Before day 0 the fraction is still the time of day.
    {"ru-RU", "dd.MM.yyyy HH:mm", -1.25, "29.12.1899 06:00"},
    {"ru-RU", "dd.MM.yyyy HH:mm", -1.75, "29.12.1899 18:00"},
    {"ru-RU", "dd.MM.yyyy", 0.0, "30.12.1899"},
    // Clocks.
    {"ru-RU", "H:mm:ss", At(2012, 12, 31, 18, 5, 9), "18:05:09"},
    {"ru-RU", "HH:mm:ss.zzz z", At(2012, 12, 31, 6, 5, 9, 45), "06:05:09.045 45"},
    {"en-US", "h:mm:ss tt", At(2012, 12, 31, 18, 5, 9), "6:05:09 PM"},
    {"en-US", "hh:mm tt", At(2012, 12, 31, 0, 30), "12:30 AM"},
    {"en-US", "h:mm t", At(2012, 12, 31, 12, 0), "12:00 P"},
    {"en-US", "h:mm tt", At(2012, 12, 31, 11, 59, 59, 999), "11:59 AM"},
    {"ja-JP", "tt H時 t", At(2012, 12, 31, 15, 0), "午後 15時 午"},
    {"en-GB", "h:mm ampm", At(2012, 12, 31, 15, 0), "3:00 pm"},
    {"en-US", "h AM/PM am/pm A/P a/p", At(2012, 12, 31, 6, 0), "6 AM am A a"},
    {"en-US", "h AM/PM am/pm A/P a/p", At(2012, 12, 31, 18, 0), "6 PM pm P p"},
    // Names of weekdays and months.
    {"ru-RU", "ddd, dddd d MMMM", At(2012, 12, 31), "Пн, понедельник 31 декабрь"},
    {"en-US", "ddd dddd MMM MMMM", At(2012, 12, 31), "Mon Monday Dec December"},
    {"de-DE", "ddd MMM MMMM", At(2005, 3, 7), "Mo Mär März"},
    {"ja-JP", "dddd MMMM", -1.25, "金曜日 12月"},
    // Literal text.
    {"ru-RU", "'Дата:' dd.MM", At(2012, 12, 31), "Дата: 31.12"},
    {"ru-RU", "\"d\" d 'M/y'", At(2012, 12, 31), "d 31 M/y"},
    {"ru-RU", "'It''s' d", At(2012, 12, 31), "It's 31"},
    {"ru-RU", "''d''", At(2012, 12, 31), "31"},
    {"ru-RU", "d 'unterminated M", At(2012, 12, 31), "31 unterminated M"},
    {"ru-RU", "d г. x", At(2012, 12, 31), "31 г. x"},
    {"en-US", "gg yyyy", At(2012, 12, 31), " 2012"},
    {"ru-RU", "", At(2012, 12, 31), ""},
};

TEST(FormatDateTime, WritesEachTokenOfTheFormat) {
  for (const FormatCase& c : kFormatCases) {
    EXPECT_EQ(FormatDateTime(c.format, c.value, Named(c.settings)), c.expected)
        << c.settings << " \"" << c.format << '"';
  }
}

TEST(FormatDateTime, UsesTheSettingsSeparators) {
  TFormatSettings s = Named("ru-RU");
  s.DateSeparator = '-';
  s.TimeSeparator = '.';
  EXPECT_EQ(FormatDateTime("dd/MM/yyyy H:mm", At(2012, 12, 31, 9, 7), s), "31-12-2012 9.07");
}

TEST(FormatDateTime, RefusesValuesThatAreNoDates) {
  for (double v : {std::nan(""), 1e10, -1e10, MaxDate + 1, HUGE_VAL}) {
    EXPECT_THROW(FormatDateTime("dd.MM.yyyy", v, Named("ru-RU")), EConvertError) << v;
    EXPECT_THROW(DateTimeToStr(v, Named("ru-RU")), EConvertError) << v;
  }
}

TEST(DateTimeToStr, AddsTheTimeOnlyWhenItIsNotMidnight) {
  struct Case {
    const char* settings;
    TDateTime value;
    const char* date;
    const char* time;
    const char* both;
  };
  const Case kCases[] = {
      {"ru-RU", At(2012, 12, 31, 18, 5, 9), "31.12.2012", "18:05:09", "31.12.2012 18:05:09"},
      {"ru-RU", At(2012, 12, 31), "31.12.2012", "0:00:00", "31.12.2012"},
      {"ru-RU", At(2012, 12, 31, 0, 0, 0, 400), "31.12.2012", "0:00:00", "31.12.2012"},
      {"ru-RU", At(2012, 12, 31, 0, 0, 1), "31.12.2012", "0:00:01", "31.12.2012 0:00:01"},
      {"ru-RU", 0.0, "30.12.1899", "0:00:00", "30.12.1899"},
      {"ru-RU", -1.25, "29.12.1899", "6:00:00", "29.12.1899 6:00:00"},
      {"ru-RU-yy", At(2012, 12, 31, 23, 59), "31.12.12", "23:59:00", "31.12.12 23:59:00"},
      {"en-US", At(2012, 12, 31, 18, 5, 9), "12/31/2012", "6:05:09 PM", "12/31/2012 6:05:09 PM"},
      {"ja-JP", At(2012, 1, 2, 8, 0), "2012/01/02", "8:00:00", "2012/01/02 8:00:00"},
      // Less than half a millisecond before midnight counts as the next day's midnight.
      {"de-DE", 41274.9999999999, "01.01.2013", "00:00:00", "01.01.2013"},
  };
  for (const Case& c : kCases) {
    TFormatSettings s = Named(c.settings);
    EXPECT_EQ(DateToStr(c.value, s), c.date) << c.both;
    EXPECT_EQ(TimeToStr(c.value, s), c.time) << c.both;
    EXPECT_EQ(DateTimeToStr(c.value, s), c.both);
  }
}

using FormatWithCurrentSettings = KeepFormatSettings;

TEST_F(FormatWithCurrentSettings, DefaultsToTheProcessWideSettings) {
  ASSERT_TRUE(SelectFormatSettings("ja-JP"));
  EXPECT_EQ(DateTimeToStr(At(2012, 12, 31, 15, 0)), "2012/12/31 15:00:00");
  ASSERT_TRUE(SelectFormatSettings("ru-RU"));
  EXPECT_EQ(DateToStr(At(2012, 12, 31, 15, 0)), "31.12.2012");
}

}  // namespace
}  // namespace tvx::test
