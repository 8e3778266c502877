// Format settings from a Windows locale.
#ifdef _WIN32

#include <windows.h>

#include "rtl/format_settings.h"
#include "rtl/text.h"

namespace tvx {
namespace {

// The locale's value for one item, as UTF-8; nullopt when the system has none.
std::optional<std::string> LocaleText(const wchar_t* locale, LCTYPE type) {
  wchar_t buffer[256];
  int length = GetLocaleInfoEx(locale, type, buffer, 256);
  if (length <= 1) return std::nullopt;  // the count includes the terminating zero
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(buffer),
                                         static_cast<std::size_t>(length - 1)));
}

void Assign(std::string& target, const wchar_t* locale, LCTYPE type) {
  if (auto text = LocaleText(locale, type)) target = std::move(*text);
}

char SingleAsciiCharacter(const std::optional<std::string>& text, char fallback) {
  if (text && text->size() == 1 && static_cast<unsigned char>((*text)[0]) < 0x80) {
    return (*text)[0];
  }
  return fallback;
}

}  // namespace

TFormatSettings LocaleFormatSettings(std::u16string_view locale_name) {
  std::wstring name(locale_name.begin(), locale_name.end());
  const wchar_t* locale = name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
  TFormatSettings s;
  Assign(s.ShortDateFormat, locale, LOCALE_SSHORTDATE);
  Assign(s.LongTimeFormat, locale, LOCALE_STIMEFORMAT);
  // The separators are taken from the formats themselves, so that text and separator always
  // agree; the locale's separator items serve only for formats that have none.
  s.DateSeparator = SeparatorOfFormat(s.ShortDateFormat,
                                      SingleAsciiCharacter(LocaleText(locale, LOCALE_SDATE), '/'));
  s.TimeSeparator = SeparatorOfFormat(s.LongTimeFormat,
                                      SingleAsciiCharacter(LocaleText(locale, LOCALE_STIME), ':'));
  Assign(s.TimeAMString, locale, LOCALE_S1159);
  Assign(s.TimePMString, locale, LOCALE_S2359);
  for (int m = 0; m < 12; ++m) {
    Assign(s.ShortMonthNames[m], locale, LOCALE_SABBREVMONTHNAME1 + m);
    Assign(s.LongMonthNames[m], locale, LOCALE_SMONTHNAME1 + m);
  }
  // The system numbers weekdays from Monday (item 1) to Sunday (item 7).
  for (int d = 0; d < 7; ++d) {
    LCTYPE offset = static_cast<LCTYPE>((d + 6) % 7);
    Assign(s.ShortDayNames[d], locale, LOCALE_SABBREVDAYNAME1 + offset);
    Assign(s.LongDayNames[d], locale, LOCALE_SDAYNAME1 + offset);
  }
  return s;
}

TFormatSettings SystemFormatSettings() { return LocaleFormatSettings(); }

}  // namespace tvx

#endif  // _WIN32
