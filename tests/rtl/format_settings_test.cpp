#include "rtl/format_settings.h"

#include <gtest/gtest.h>

#include "support/format_settings_and_dates.h"

namespace tvx::test {
namespace {

TEST(NamedFormatSettings, HoldTheLocalesFormats) {
  struct Case {
    const char* name;
    const char* short_date;
    char date_separator;
    const char* long_time;
  };
  const Case kCases[] = {
      {"ru-RU", "dd.MM.yyyy", '.', "H:mm:ss"},  {"ru-RU-yy", "dd.MM.yy", '.', "H:mm:ss"},
      {"en-US", "M/d/yyyy", '/', "h:mm:ss tt"}, {"en-GB", "dd/MM/yyyy", '/', "HH:mm:ss"},
      {"de-DE", "dd.MM.yyyy", '.', "HH:mm:ss"}, {"ja-JP", "yyyy/MM/dd", '/', "H:mm:ss"},
  };
  for (const Case& c : kCases) {
    TFormatSettings s = Named(c.name);
    EXPECT_EQ(s.ShortDateFormat, c.short_date) << c.name;
    EXPECT_EQ(s.DateSeparator, c.date_separator) << c.name;
    EXPECT_EQ(s.LongTimeFormat, c.long_time) << c.name;
  }
}

// Every named setting's separators are the ones its formats actually write.
TEST(NamedFormatSettings, SeparatorsAgreeWithTheirFormats) {
  for (const std::string& name : FormatSettingsNames()) {
    TFormatSettings s = Named(name);
    EXPECT_EQ(SeparatorOfFormat(s.ShortDateFormat, '?'), s.DateSeparator) << name;
    EXPECT_EQ(SeparatorOfFormat(s.LongTimeFormat, '?'), s.TimeSeparator) << name;
  }
}

TEST(NamedFormatSettings, UnknownNamesAreRefused) {
  for (const char* name : {"", "ru", "RU-RU", "ru-RU ", "xx-XX"}) {
    EXPECT_FALSE(NamedFormatSettings(name).has_value()) << name;
  }
}

using CurrentFormatSettings = KeepFormatSettings;

TEST_F(CurrentFormatSettings, SelectingANameReplacesTheProcessWideValue) {
  ASSERT_TRUE(SelectFormatSettings("en-US"));
  EXPECT_EQ(FormatSettings(), Named("en-US"));
  EXPECT_FALSE(SelectFormatSettings("no-such-locale"));
  EXPECT_EQ(FormatSettings(), Named("en-US"));
  TFormatSettings custom = Named("ru-RU");
  custom.ShortDateFormat = "yyyy-MM-dd";
  custom.DateSeparator = '-';
  SetFormatSettings(custom);
  EXPECT_EQ(FormatSettings(), custom);
}

#ifndef _WIN32
TEST(SystemFormatSettings, AreRussianOffWindows) {
  EXPECT_EQ(SystemFormatSettings(), Named("ru-RU"));
}
#endif

TEST(SeparatorOfFormat, FindsTheFirstPunctuationBetweenFields) {
  struct Case {
    const char* format;
    char expected;
  };
  const Case kCases[] = {
      {"dd.MM.yyyy", '.'}, {"yyyy. MM. dd.", '.'}, {"M/d/yyyy", '/'},   {"d-M-yyyy", '-'},
      {"H.mm.ss", '.'},    {"tt h:mm:ss", ':'},    {"dd MM yyyy", '?'}, {"yyyyMMdd", '?'},
      {"'It''s' d", '?'},  {"yyyy年M月d日", '?'},  {"", '?'},
  };
  for (const Case& c : kCases) EXPECT_EQ(SeparatorOfFormat(c.format, '?'), c.expected) << c.format;
}

#ifdef _WIN32
// The system's own locale data. Only values that every Windows version agrees on.
TEST(LocaleFormatSettings, ReadTheSystemsLocales) {
  TFormatSettings ru = LocaleFormatSettings(u"ru-RU");
  EXPECT_EQ(ru.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(ru.DateSeparator, '.');
  EXPECT_EQ(ru.TimeSeparator, ':');
  TFormatSettings us = LocaleFormatSettings(u"en-US");
  EXPECT_EQ(us.ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(us.DateSeparator, '/');
  EXPECT_EQ(us.LongTimeFormat, "h:mm:ss tt");
  EXPECT_EQ(us.TimeAMString, "AM");
  EXPECT_EQ(us.TimePMString, "PM");
  EXPECT_EQ(us.LongMonthNames[0], "January");
  EXPECT_EQ(us.ShortMonthNames[11], "Dec");
  EXPECT_EQ(us.LongDayNames[0], "Sunday");
  EXPECT_EQ(us.LongDayNames[1], "Monday");
  EXPECT_EQ(us.ShortDayNames[6], "Sat");
  // Finnish writes its times with full stops.
  EXPECT_EQ(LocaleFormatSettings(u"fi-FI").TimeSeparator, '.');
}

TEST(LocaleFormatSettings, UserLocaleIsConsistent) {
  TFormatSettings user = SystemFormatSettings();
  EXPECT_FALSE(user.ShortDateFormat.empty());
  EXPECT_FALSE(user.LongTimeFormat.empty());
  EXPECT_EQ(SeparatorOfFormat(user.ShortDateFormat, user.DateSeparator), user.DateSeparator);
  EXPECT_EQ(user, LocaleFormatSettings());
}
#endif

}  // namespace
}  // namespace tvx::test
