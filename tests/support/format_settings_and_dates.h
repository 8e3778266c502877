// Format settings and dates for the tests of every layer that shows or reads dates: settings
// by locale name, a date-time from its parts, and a fixture that restores the process-wide
// settings a test changes.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "rtl/datetime.h"
#include "rtl/format_settings.h"

namespace tvx::test {

// The settings of a locale ("ru-RU", "en-US"); a failure of the test when there are none.
inline TFormatSettings Named(std::string_view name) {
  std::optional<TFormatSettings> settings = NamedFormatSettings(name);
  EXPECT_TRUE(settings.has_value()) << name;
  return settings.value_or(TFormatSettings{});
}

// The date-time of a calendar date and a time of day.
inline TDateTime At(int year, int month, int day, int hour = 0, int min = 0, int sec = 0,
                    int msec = 0) {
  return ComposeDateTime(EncodeDate(year, month, day), EncodeTime(hour, min, sec, msec));
}

// Restores the process-wide format settings that a test changes.
class KeepFormatSettings : public ::testing::Test {
 protected:
  void TearDown() override { SetFormatSettings(saved_); }

 private:
  TFormatSettings saved_ = FormatSettings();
};

}  // namespace tvx::test
