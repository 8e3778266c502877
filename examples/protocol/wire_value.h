// The values that calls carry over the connection: the VARIANT types that the module and its
// server exchange (empty, null, 16- and 32-bit integers, doubles, dates, strings, booleans and
// byte arrays), in a form that needs no COM. Their codes are the VARIANT type codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/byte_buffer.h"

namespace tvx::example {

enum class WireType : std::uint16_t {
  kEmpty = 0,       // VT_EMPTY
  kNull = 1,        // VT_NULL
  kI2 = 2,          // VT_I2
  kI4 = 3,          // VT_I4
  kR8 = 5,          // VT_R8
  kDate = 7,        // VT_DATE: days since 30 December 1899, fraction = time of day
  kString = 8,      // VT_BSTR, carried as UTF-8
  kBool = 11,       // VT_BOOL
  kBytes = 0x2011,  // VT_ARRAY | VT_UI1, one dimension
};

struct WireValue {
  WireType type = WireType::kEmpty;
  std::int32_t integer = 0;         // kI2, kI4; kBool: 0 or 1
  double real = 0;                  // kR8, kDate
  std::string text;                 // kString
  std::vector<std::uint8_t> bytes;  // kBytes

  static WireValue Empty() { return {}; }
  static WireValue Null() { return Of(WireType::kNull); }
  static WireValue I2(std::int16_t value) { return Integer(WireType::kI2, value); }
  static WireValue I4(std::int32_t value) { return Integer(WireType::kI4, value); }
  static WireValue R8(double value) { return Real(WireType::kR8, value); }
  static WireValue Date(double value) { return Real(WireType::kDate, value); }
  static WireValue String(std::string text) {
    WireValue v = Of(WireType::kString);
    v.text = std::move(text);
    return v;
  }
  static WireValue Bool(bool value) { return Integer(WireType::kBool, value ? 1 : 0); }
  static WireValue Bytes(std::vector<std::uint8_t> bytes) {
    WireValue v = Of(WireType::kBytes);
    v.bytes = std::move(bytes);
    return v;
  }

  bool operator==(const WireValue&) const = default;

 private:
  static WireValue Of(WireType type) {
    WireValue v;
    v.type = type;
    return v;
  }
  static WireValue Integer(WireType type, std::int32_t value) {
    WireValue v = Of(type);
    v.integer = value;
    return v;
  }
  static WireValue Real(WireType type, double value) {
    WireValue v = Of(type);
    v.real = value;
    return v;
  }
};

// How a call passes one argument.
enum class Passing : std::uint8_t {
  kValue = 0,             // by value
  kTypedReference = 1,    // by reference to a value of its type (VT_BYREF | type)
  kVariantReference = 2,  // by reference to a variant (VT_BYREF | VT_VARIANT)
};

struct WireArgument {
  Passing passing = Passing::kValue;
  WireValue value;

  bool operator==(const WireArgument&) const = default;
};

// u16 type code, then the value's bytes (docs/protocol.md).
void EncodeValue(ByteWriter& out, const WireValue& value);
// Raises ProtocolError for an unknown type code, a boolean other than 0 or 1, a string that
// is no UTF-8, or too few bytes.
WireValue DecodeValue(ByteReader& in);

void EncodeArgument(ByteWriter& out, const WireArgument& argument);
// Raises ProtocolError as DecodeValue does, and for an unknown passing or a typed reference
// to empty or null.
WireArgument DecodeArgument(ByteReader& in);

// A short text of the value for logs: 45291.5 as "DATE 2023-12-31 12:00:00", strings
// quoted and cut at 60 characters, byte arrays by their length.
std::string Describe(const WireValue& value);
// The name of a type for messages: "VT_DATE", "VT_BSTR", ...
const char* TypeName(WireType type);

}  // namespace tvx::example
