#include "protocol/byte_buffer.h"

#include <bit>

#include "protocol/errors.h"

namespace tvx::example {

void ByteWriter::U16(std::uint16_t value) {
  U8(static_cast<std::uint8_t>(value));
  U8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(value >> shift));
}

void ByteWriter::F64(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int shift = 0; shift < 64; shift += 8) U8(static_cast<std::uint8_t>(bits >> shift));
}

void ByteWriter::Bytes(std::span<const std::uint8_t> bytes) {
  U32(static_cast<std::uint32_t>(bytes.size()));
  Raw(bytes);
}

void ByteWriter::String(std::string_view text) {
  U32(static_cast<std::uint32_t>(text.size()));
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ByteWriter::Raw(std::span<const std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

std::span<const std::uint8_t> ByteReader::Raw(std::size_t count) {
  if (count > Remaining()) throw ProtocolError("сообщение короче, чем заявлено");
  const auto result = bytes_.subspan(position_, count);
  position_ += count;
  return result;
}

std::uint8_t ByteReader::U8() { return Raw(1)[0]; }

std::uint16_t ByteReader::U16() {
  const auto b = Raw(2);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t ByteReader::U32() {
  const auto b = Raw(4);
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | b[static_cast<std::size_t>(i)];
  return value;
}

double ByteReader::F64() {
  const auto b = Raw(8);
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[static_cast<std::size_t>(i)];
  return std::bit_cast<double>(bits);
}

std::vector<std::uint8_t> ByteReader::Bytes() {
  const std::uint32_t count = U32();
  const auto bytes = Raw(count);
  return {bytes.begin(), bytes.end()};
}

std::string ByteReader::String(std::size_t max_bytes) {
  const std::uint32_t count = U32();
  if (count > max_bytes) throw ProtocolError("строка длиннее допустимого");
  const auto bytes = Raw(count);
  std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!IsWellFormedUtf8(text)) throw ProtocolError("строка не в кодировке UTF-8");
  return text;
}

void ByteReader::ExpectEnd() const {
  if (Remaining() != 0) throw ProtocolError("в сообщении лишние байты");
}

bool IsWellFormedUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, c = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, c = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, c = lead & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

}  // namespace tvx::example
