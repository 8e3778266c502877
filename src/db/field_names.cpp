#include "db/field_names.h"

#include <cstdint>

#include "db/data_packet_format.h"

namespace tvx {
namespace {

// Well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<uint8_t>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length;
    uint32_t code;
    uint32_t min_code;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, code = lead & 0x1F, min_code = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, code = lead & 0x0F, min_code = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, code = lead & 0x07, min_code = 0x10000;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code < min_code || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool IsValidColumnName(std::string_view name) {
  return !name.empty() && name.size() <= data_packet::kMaxNameBytes && IsValidUtf8(name);
}

bool SameFieldName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace tvx
