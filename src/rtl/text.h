// Text conversions. Texts inside the module are UTF-8; Windows and COM take UTF-16; the
// bytes the module hands out are Windows-1251. None of these conversions fails: a byte
// sequence that is no UTF-8 becomes U+FFFD, a character that Windows-1251 lacks becomes '?'.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tvx {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// Reads the code point at `pos` and moves `pos` past it. An ill-formed sequence yields
// U+FFFD and is skipped by its longest prefix that could have begun a valid sequence (so
// one stray byte costs one replacement, and the byte after it is read afresh).
// Requires pos < text.size().
char32_t ReadUtf8(std::string_view text, std::size_t& pos);
// Appends the UTF-8 form of a code point; surrogates and values past U+10FFFF append U+FFFD.
void AppendUtf8(std::string& out, char32_t code_point);

std::u16string Utf8ToUtf16(std::string_view text);
// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Windows-1251 by a table of our own, the same on every platform. The byte 0x98, which the
// code page leaves unassigned, stands for U+0098 so that every byte survives a round trip.
std::string Utf8ToWin1251(std::string_view text);
std::string Win1251ToUtf8(std::string_view bytes);

}  // namespace tvx
