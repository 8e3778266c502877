// Date texts as an operator types them, read under each named format setting, and date
// formats as a locale may give them.
//
// Input: one selector byte, then the text. The selector's low bits pick a named setting.
// With its high bit set, the text up to the first newline is taken as the short date
// format (with the separator it implies) and the rest as the date text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/date_format.h"
#include "rtl/date_layout.h"
#include "rtl/date_parse.h"
#include "rtl/exceptions.h"
#include "rtl/format_settings.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  if (size == 0) return 0;
  static const std::vector<TFormatSettings> named = [] {
    std::vector<TFormatSettings> all;
    for (const std::string& name : FormatSettingsNames()) all.push_back(*NamedFormatSettings(name));
    return all;
  }();
  const uint8_t selector = data[0];
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  TFormatSettings settings = named[(selector & 0x7F) % named.size()];
  if (selector & 0x80) {
    std::size_t newline = text.find('\n');
    std::string_view format = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    settings.ShortDateFormat = std::string(format);
    settings.DateSeparator = SeparatorOfFormat(format, '/');
    // Every token of an outside format must write without fault.
    (void)FormatDateTime(format, EncodeDate(2012, 12, 31) + 0.75, settings);
    (void)DateLayoutOf(settings);
  }

  TDateTime date = 0;
  bool ok = TryStrToDate(text, date, settings);
  bool raised = false;
  try {
    Check(StrToDate(text, settings) == date);
  } catch (const EConvertError&) {
    raised = true;
  }
  Check(ok != raised);
  if (!ok) return 0;
  Check(IsValidDateTime(date) && DateOf(date) == date);
  // A date read back from its own short date text is the same date, when the text carries
  // the whole year.
  std::string shown = DateToStr(date, settings);
  if (HasFourDigitYear(settings.ShortDateFormat) && !(selector & 0x80)) {
    TDateTime again = 0;
    Check(TryStrToDate(shown, again, settings) && again == date);
  }
  return 0;
}
