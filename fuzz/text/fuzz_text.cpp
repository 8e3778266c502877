// The text conversions on arbitrary bytes: read as UTF-8, as UTF-16 and as Windows-1251.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "rtl/text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // As UTF-8: the cleaned text is well-formed, so it survives a further round unchanged.
  std::u16string wide = Utf8ToUtf16(bytes);
  std::string clean = Utf16ToUtf8(wide);
  Check(Utf8ToUtf16(clean) == wide);
  Check(Utf16ToUtf8(Utf8ToUtf16(clean)) == clean);
  std::size_t code_points = 0;
  for (std::size_t pos = 0; pos < bytes.size(); ++code_points) {
    std::size_t before = pos;
    ReadUtf8(bytes, pos);
    Check(pos > before && pos <= bytes.size());
  }
  // One Windows-1251 byte per character.
  std::string narrow = Utf8ToWin1251(bytes);
  Check(narrow.size() == code_points);
  Check(Utf8ToWin1251(Win1251ToUtf8(narrow)) == narrow);

  // As Windows-1251: every byte comes back.
  Check(Utf8ToWin1251(Win1251ToUtf8(bytes)) == bytes);

  // As UTF-16: the UTF-8 form reads back as the same units, lone surrogates replaced.
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  std::u16string back = Utf8ToUtf16(Utf16ToUtf8(units));
  Check(back.size() == units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    Check(back[i] == units[i] || back[i] == 0xFFFD);
  }
  return 0;
}
