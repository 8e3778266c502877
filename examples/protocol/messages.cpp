#include "protocol/messages.h"

#include <cstring>

#include "protocol/errors.h"

namespace tvx::example {

namespace {

std::string ReadName(ByteReader& in, const char* what) {
  std::string name = in.String(kMaxNameBytes);
  if (name.empty()) throw ProtocolError(std::string("пустое имя: ") + what);
  return name;
}

std::uint16_t ReadCount(ByteReader& in, std::size_t limit, const char* what) {
  const std::uint16_t count = in.U16();
  if (count > limit) throw ProtocolError(std::string("слишком много элементов: ") + what);
  return count;
}

}  // namespace

std::vector<std::uint8_t> Encode(const Hello& message) {
  ByteWriter out;
  out.Raw({reinterpret_cast<const std::uint8_t*>(kHelloMagic), sizeof kHelloMagic});
  out.U16(message.version);
  out.String(message.client_name);
  out.String(message.user);
  out.String(message.password);
  return out.Take();
}

Hello DecodeHello(std::span<const std::uint8_t> payload) {
  ByteReader in(payload);
  const auto magic = in.Raw(sizeof kHelloMagic);
  if (std::memcmp(magic.data(), kHelloMagic, sizeof kHelloMagic) != 0) {
    throw ProtocolError("приветствие не от клиента сервера приложений");
  }
  Hello message;
  message.version = in.U16();
  if (message.version != kProtocolVersion) return message;
  message.client_name = in.String(kMaxNameBytes);
  message.user = in.String(kMaxNameBytes);
  message.password = in.String(kMaxPasswordBytes);
  in.ExpectEnd();
  return message;
}

std::vector<std::uint8_t> Encode(const HelloReply& message) {
  ByteWriter out;
  out.U16(message.version);
  out.String(message.server_name);
  out.U16(static_cast<std::uint16_t>(message.methods.size()));
  for (const std::string& method : message.methods) out.String(method);
  return out.Take();
}

HelloReply DecodeHelloReply(std::span<const std::uint8_t> payload) {
  ByteReader in(payload);
  HelloReply message;
  message.version = in.U16();
  message.server_name = in.String(kMaxNameBytes);
  const std::uint16_t count = ReadCount(in, kMaxMethods, "методы");
  for (std::uint16_t i = 0; i < count; ++i) message.methods.push_back(ReadName(in, "метод"));
  in.ExpectEnd();
  return message;
}

std::vector<std::uint8_t> Encode(const GetRecordsRequest& message) {
  ByteWriter out;
  out.String(message.provider);
  out.I32(message.count);
  out.I32(message.options);
  out.String(message.command_text);
  EncodeValue(out, message.params);
  return out.Take();
}

GetRecordsRequest DecodeGetRecordsRequest(std::span<const std::uint8_t> payload) {
  ByteReader in(payload);
  GetRecordsRequest message;
  message.provider = ReadName(in, "поставщик данных");
  message.count = in.I32();
  message.options = in.I32();
  message.command_text = in.String();
  message.params = DecodeValue(in);
  in.ExpectEnd();
  return message;
}

std::vector<std::uint8_t> Encode(const GetRecordsReply& message) {
  ByteWriter out;
  out.I32(message.records_out);
  EncodeValue(out, message.data);
  return out.Take();
}

GetRecordsReply DecodeGetRecordsReply(std::span<const std::uint8_t> payload) {
  ByteReader in(payload);
  GetRecordsReply message;
  message.records_out = in.I32();
  message.data = DecodeValue(in);
  in.ExpectEnd();
  return message;
}

std::vector<std::uint8_t> Encode(const InvokeRequest& message) {
  ByteWriter out;
  out.String(message.method);
  out.U16(message.flags);
  out.U8(message.result_wanted ? 1 : 0);
  out.U16(static_cast<std::uint16_t>(message.arguments.size()));
  for (const WireArgument& argument : message.arguments) EncodeArgument(out, argument);
  return out.Take();
}

InvokeRequest DecodeInvokeRequest(std::span<const std::uint8_t> payload) {
  ByteReader in(payload);
  InvokeRequest message;
  message.method = ReadName(in, "метод");
  message.flags = in.U16();
  const std::uint8_t wanted = in.U8();
  if (wanted > 1) throw ProtocolError("признак результата не 0 и не 1");
  message.result_wanted = wanted == 1;
  const std::uint16_t count = ReadCount(in, kMaxArguments, "аргументы");
  for (std::uint16_t i = 0; i < count; ++i) message.arguments.push_back(DecodeArgument(in));
  in.ExpectEnd();
  return message;
}

std::vector<std::uint8_t> Encode(const InvokeReply& message) {
  ByteWriter out;
  EncodeValue(out, message.result);
  out.U16(static_cast<std::uint16_t>(message.references.size()));
  for (const ReturnedReference& reference : message.references) {
    out.U16(reference.index);
    EncodeValue(out, reference.value);
  }
  return out.Take();
}

InvokeReply DecodeInvokeReply(std::span<const std::uint8_t> payload) {
  ByteReader in(payload);
  InvokeReply message;
  message.result = DecodeValue(in);
  const std::uint16_t count = ReadCount(in, kMaxArguments, "значения по ссылке");
  for (std::uint16_t i = 0; i < count; ++i) {
    ReturnedReference reference;
    reference.index = in.U16();
    reference.value = DecodeValue(in);
    message.references.push_back(std::move(reference));
  }
  in.ExpectEnd();
  return message;
}

std::vector<std::uint8_t> Encode(const ErrorReply& message) {
  ByteWriter out;
  out.I32(message.code);
  out.String(message.source);
  out.String(message.description);
  return out.Take();
}

ErrorReply DecodeErrorReply(std::span<const std::uint8_t> payload) {
  ByteReader in(payload);
  ErrorReply message;
  message.code = in.I32();
  message.source = in.String();
  message.description = in.String();
  in.ExpectEnd();
  return message;
}

}  // namespace tvx::example
