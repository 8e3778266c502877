#include "rtl/format_settings.h"

#include <cctype>

#include "rtl/format_tokens.h"

namespace tvx {
namespace {

TFormatSettings& Current() {
  static TFormatSettings current = SystemFormatSettings();
  return current;
}

}  // namespace

const TFormatSettings& FormatSettings() { return Current(); }

void SetFormatSettings(const TFormatSettings& settings) { Current() = settings; }

bool SelectFormatSettings(std::string_view name) {
  std::optional<TFormatSettings> named = NamedFormatSettings(name);
  if (!named) return false;
  SetFormatSettings(*named);
  return true;
}

char SeparatorOfFormat(std::string_view format, char fallback) {
  for (const TFormatToken& token : TokenizeDateTimeFormat(format)) {
    if (token.Kind != TFormatTokenKind::Literal && token.Kind != TFormatTokenKind::DateSeparator &&
        token.Kind != TFormatTokenKind::TimeSeparator) {
      continue;
    }
    for (char c : token.Text) {
      auto u = static_cast<unsigned char>(c);
      if (u < 0x80 && std::ispunct(u) && c != '\'' && c != '"') return c;
    }
  }
  return fallback;
}

}  // namespace tvx
