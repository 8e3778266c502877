#include "protocol/wire_value.h"

#include <cstdio>

#include "protocol/errors.h"
#include "rtl/datetime.h"

namespace tvx::example {

void EncodeValue(ByteWriter& out, const WireValue& value) {
  out.U16(static_cast<std::uint16_t>(value.type));
  switch (value.type) {
    case WireType::kEmpty:
    case WireType::kNull:
      break;
    case WireType::kI2:
      out.I16(static_cast<std::int16_t>(value.integer));
      break;
    case WireType::kI4:
      out.I32(value.integer);
      break;
    case WireType::kR8:
    case WireType::kDate:
      out.F64(value.real);
      break;
    case WireType::kString:
      out.String(value.text);
      break;
    case WireType::kBool:
      out.U8(value.integer != 0 ? 1 : 0);
      break;
    case WireType::kBytes:
      out.Bytes(value.bytes);
      break;
  }
}

WireValue DecodeValue(ByteReader& in) {
  const std::uint16_t code = in.U16();
  switch (static_cast<WireType>(code)) {
    case WireType::kEmpty:
      return WireValue::Empty();
    case WireType::kNull:
      return WireValue::Null();
    case WireType::kI2:
      return WireValue::I2(in.I16());
    case WireType::kI4:
      return WireValue::I4(in.I32());
    case WireType::kR8:
      return WireValue::R8(in.F64());
    case WireType::kDate:
      return WireValue::Date(in.F64());
    case WireType::kString:
      return WireValue::String(in.String());
    case WireType::kBool: {
      const std::uint8_t flag = in.U8();
      if (flag > 1) throw ProtocolError("логическое значение не 0 и не 1");
      return WireValue::Bool(flag == 1);
    }
    case WireType::kBytes:
      return WireValue::Bytes(in.Bytes());
  }
  char text[64];
  std::snprintf(text, sizeof text, "неизвестный тип значения 0x%04x", code);
  throw ProtocolError(text);
}

void EncodeArgument(ByteWriter& out, const WireArgument& argument) {
  out.U8(static_cast<std::uint8_t>(argument.passing));
  EncodeValue(out, argument.value);
}

WireArgument DecodeArgument(ByteReader& in) {
  const std::uint8_t passing = in.U8();
  if (passing > static_cast<std::uint8_t>(Passing::kVariantReference)) {
    throw ProtocolError("неизвестный способ передачи аргумента");
  }
  WireArgument argument{static_cast<Passing>(passing), DecodeValue(in)};
  if (argument.passing == Passing::kTypedReference &&
      (argument.value.type == WireType::kEmpty || argument.value.type == WireType::kNull)) {
    throw ProtocolError("ссылка на значение без типа");
  }
  return argument;
}

const char* TypeName(WireType type) {
  switch (type) {
    case WireType::kEmpty:
      return "VT_EMPTY";
    case WireType::kNull:
      return "VT_NULL";
    case WireType::kI2:
      return "VT_I2";
    case WireType::kI4:
      return "VT_I4";
    case WireType::kR8:
      return "VT_R8";
    case WireType::kDate:
      return "VT_DATE";
    case WireType::kString:
      return "VT_BSTR";
    case WireType::kBool:
      return "VT_BOOL";
    case WireType::kBytes:
      return "VT_ARRAY|VT_UI1";
  }
  return "?";
}

std::string Describe(const WireValue& value) {
  char text[96];
  switch (value.type) {
    case WireType::kEmpty:
      return "Empty";
    case WireType::kNull:
      return "Null";
    case WireType::kI2:
    case WireType::kI4:
      return std::to_string(value.integer);
    case WireType::kR8:
      std::snprintf(text, sizeof text, "%g", value.real);
      return text;
    case WireType::kDate: {
      int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, ms = 0;
      if (!IsValidDateTime(value.real)) {
        std::snprintf(text, sizeof text, "DATE %g", value.real);
        return text;
      }
      DecodeDate(value.real, y, m, d);
      DecodeTime(value.real, h, n, s, ms);
      std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, h, n, s);
      return text;
    }
    case WireType::kString: {
      // Cut at a character boundary.
      std::size_t cut = 0;
      std::size_t characters = 0;
      while (cut < value.text.size() && characters < 60) {
        ++cut;
        while (cut < value.text.size() &&
               (static_cast<unsigned char>(value.text[cut]) & 0xC0) == 0x80) {
          ++cut;
        }
        ++characters;
      }
      std::string quoted = "\"";
      quoted.append(value.text, 0, cut);
      quoted += cut < value.text.size() ? "…\"" : "\"";
      return quoted;
    }
    case WireType::kBool:
      return value.integer != 0 ? "True" : "False";
    case WireType::kBytes:
      return std::to_string(value.bytes.size()) + " bytes";
  }
  return "?";
}

}  // namespace tvx::example
