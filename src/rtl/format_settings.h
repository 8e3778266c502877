// How dates and times are written: the short date format, the long time format, their
// separators and the names of months and weekdays. The module reads one process-wide value;
// on Windows it comes from the user's locale, elsewhere from a named setting (the Russian one
// unless a test or host selects another).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

// Formats use the tokens of rtl/format_tokens.h. A default-constructed value holds the
// locale-independent settings (MM/dd/yyyy, HH:mm:ss, English names).
struct TFormatSettings {
  std::string ShortDateFormat = "MM/dd/yyyy";
  char DateSeparator = '/';
  std::string LongTimeFormat = "HH:mm:ss";
  char TimeSeparator = ':';
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::array<std::string, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> LongMonthNames = {"January",   "February", "March",    "April",
                                                "May",       "June",     "July",     "August",
                                                "September", "October",  "November", "December"};
  // Weekday names start with Sunday.
  std::array<std::string, 7> ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> LongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};

  bool operator==(const TFormatSettings&) const = default;
};

// The process-wide settings. Loaded on first use from SystemFormatSettings().
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);

// The built-in named settings: "ru-RU" (dd.MM.yyyy, H:mm:ss), "ru-RU-yy" (dd.MM.yy),
// "en-US" (M/d/yyyy, h:mm:ss tt), "en-GB" (dd/MM/yyyy), "de-DE" (dd.MM.yyyy, HH:mm:ss) and
// "ja-JP" (yyyy/MM/dd). Names are matched exactly.
std::optional<TFormatSettings> NamedFormatSettings(std::string_view name);
std::vector<std::string> FormatSettingsNames();
// Makes a named setting the process-wide one; false (and no change) for an unknown name.
bool SelectFormatSettings(std::string_view name);

// What the process starts with: the user's locale on Windows, "ru-RU" elsewhere.
TFormatSettings SystemFormatSettings();

#ifdef _WIN32
// The settings of a Windows locale by name ("ru-RU"); an empty name means the user's locale.
// Values the system does not give keep their locale-independent defaults.
TFormatSettings LocaleFormatSettings(std::u16string_view locale_name = {});
#endif

// The separator a format writes between its fields: its first ASCII punctuation character
// that is no quote ('/' and ':' stand for themselves here). `fallback` when there is none.
char SeparatorOfFormat(std::string_view format, char fallback);

}  // namespace tvx
