// Little-endian encoding of the protocol's fields: a writer that appends them to a buffer and
// a reader that takes them from a received payload, refusing to read past its end.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::example {

class ByteWriter {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void I16(std::int16_t value) { U16(static_cast<std::uint16_t>(value)); }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void F64(double value);
  // u32 byte count, then the bytes.
  void Bytes(std::span<const std::uint8_t> bytes);
  // u32 byte count, then the UTF-8 bytes (no terminating zero).
  void String(std::string_view text);
  void Raw(std::span<const std::uint8_t> bytes);

  const std::vector<std::uint8_t>& Data() const { return bytes_; }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Every read raises ProtocolError when fewer bytes remain than it needs; a count read from
// the payload is checked against the bytes that remain before anything is allocated.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U32();
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  double F64();
  std::vector<std::uint8_t> Bytes();
  // Raises ProtocolError for bytes that are not well-formed UTF-8, or longer than max_bytes.
  std::string String(std::size_t max_bytes = SIZE_MAX);
  std::span<const std::uint8_t> Raw(std::size_t count);

  std::size_t Remaining() const { return bytes_.size() - position_; }
  // Raises ProtocolError when bytes are left over: a message is exactly its fields.
  void ExpectEnd() const;

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// True for well-formed UTF-8: shortest forms, no surrogates, nothing past U+10FFFF.
bool IsWellFormedUtf8(std::string_view text);

}  // namespace tvx::example
