// Small helpers shared by the rtl tests.
#pragma once

#include <gtest/gtest.h>

#include "rtl/datetime.h"
#include "rtl/format_settings.h"

namespace tvx::testing_support {

inline TFormatSettings Named(std::string_view name) {
  std::optional<TFormatSettings> settings = NamedFormatSettings(name);
  EXPECT_TRUE(settings.has_value()) << name;
  return settings.value_or(TFormatSettings{});
}

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

}  // namespace tvx::testing_support
