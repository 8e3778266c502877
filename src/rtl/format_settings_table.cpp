// The built-in named format settings, the same on every platform. Tests pin one of them;
// off Windows the Russian one is what the process starts with.
#include <algorithm>

#include "rtl/format_settings.h"

namespace tvx {
namespace {

struct NamedSettings {
  std::string_view name;
  TFormatSettings settings;
};

TFormatSettings Russian(std::string short_date_format) {
  TFormatSettings s;
  s.ShortDateFormat = std::move(short_date_format);
  s.DateSeparator = '.';
  s.LongTimeFormat = "H:mm:ss";
  s.TimeSeparator = ':';
  s.ShortMonthNames = {"янв", "фев", "мар", "апр", "май", "июн",
                       "июл", "авг", "сен", "окт", "ноя", "дек"};
  s.LongMonthNames = {"январь", "февраль", "март",     "апрель",  "май",    "июнь",
                      "июль",   "август",  "сентябрь", "октябрь", "ноябрь", "декабрь"};
  s.ShortDayNames = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
  s.LongDayNames = {"воскресенье", "понедельник", "вторник", "среда",
                    "четверг",     "пятница",     "суббота"};
  return s;
}

TFormatSettings English(std::string short_date_format, char date_separator,
                        std::string long_time_format, std::string am, std::string pm) {
  TFormatSettings s;  // English names are the defaults
  s.ShortDateFormat = std::move(short_date_format);
  s.DateSeparator = date_separator;
  s.LongTimeFormat = std::move(long_time_format);
  s.TimeSeparator = ':';
  s.TimeAMString = std::move(am);
  s.TimePMString = std::move(pm);
  return s;
}

TFormatSettings German() {
  TFormatSettings s;
  s.ShortDateFormat = "dd.MM.yyyy";
  s.DateSeparator = '.';
  s.LongTimeFormat = "HH:mm:ss";
  s.TimeSeparator = ':';
  s.ShortMonthNames = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                       "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  s.LongMonthNames = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                      "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  s.ShortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
  s.LongDayNames = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                    "Donnerstag", "Freitag", "Samstag"};
  return s;
}

TFormatSettings Japanese() {
  TFormatSettings s;
  s.ShortDateFormat = "yyyy/MM/dd";
  s.DateSeparator = '/';
  s.LongTimeFormat = "H:mm:ss";
  s.TimeSeparator = ':';
  s.TimeAMString = "午前";
  s.TimePMString = "午後";
  for (int m = 0; m < 12; ++m) {
    s.ShortMonthNames[m] = s.LongMonthNames[m] = std::to_string(m + 1) + "月";
  }
  s.ShortDayNames = {"日", "月", "火", "水", "木", "金", "土"};
  s.LongDayNames = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
  return s;
}

const std::vector<NamedSettings>& Table() {
  static const std::vector<NamedSettings> table = {
      {"ru-RU", Russian("dd.MM.yyyy")},
      // Russian with two-digit years, as many operators have their machines set.
      {"ru-RU-yy", Russian("dd.MM.yy")},
      {"en-US", English("M/d/yyyy", '/', "h:mm:ss tt", "AM", "PM")},
      {"en-GB", English("dd/MM/yyyy", '/', "HH:mm:ss", "am", "pm")},
      {"de-DE", German()},
      {"ja-JP", Japanese()},
  };
  return table;
}

}  // namespace

std::optional<TFormatSettings> NamedFormatSettings(std::string_view name) {
  const auto& table = Table();
  auto it = std::find_if(table.begin(), table.end(),
                         [&](const NamedSettings& entry) { return entry.name == name; });
  if (it == table.end()) return std::nullopt;
  return it->settings;
}

std::vector<std::string> FormatSettingsNames() {
  std::vector<std::string> names;
  for (const NamedSettings& entry : Table()) names.emplace_back(entry.name);
  return names;
}

#ifndef _WIN32
TFormatSettings SystemFormatSettings() { return *NamedFormatSettings("ru-RU"); }
#endif

}  // namespace tvx
