// The bytes of the protocol: frames, values and messages, against docs/protocol.md.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/errors.h"
#include "protocol/frame.h"
#include "protocol/messages.h"

namespace {

using namespace tvx::example;
using Bytes = std::vector<std::uint8_t>;

Bytes Header(std::uint32_t length, std::uint16_t type, std::uint16_t reserved = 0) {
  ByteWriter out;
  out.U32(length);
  out.U16(type);
  out.U16(reserved);
  return out.Take();
}

TEST(FrameHeader, ReadsLengthAndTypeAndRefusesWhatBreaksTheLimits) {
  struct Case {
    const char* name;
    Bytes header;
    std::uint32_t limit;
    bool accepted;
  };
  const Case cases[] = {
      {"empty payload", Header(0, 2), kMaxRequestPayload, true},
      {"payload at the limit", Header(kMaxRequestPayload, 3), kMaxRequestPayload, true},
      {"one byte over the limit", Header(kMaxRequestPayload + 1, 3), kMaxRequestPayload, false},
      {"length as large as it gets", Header(0xFFFFFFFFu, 3), kMaxReplyPayload, false},
      {"reserved field set", Header(4, 2, 1), kMaxRequestPayload, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::array<std::uint8_t, kFrameHeaderBytes> bytes{};
    std::copy(c.header.begin(), c.header.end(), bytes.begin());
    if (c.accepted) {
      const FrameHeader header = ParseFrameHeader(bytes, c.limit);
      EXPECT_EQ(header.length, ByteReader(c.header).U32());
    } else {
      EXPECT_THROW(ParseFrameHeader(bytes, c.limit), ProtocolError);
    }
  }
}

TEST(FrameHeader, IsLittleEndianLengthThenType) {
  const auto header = EncodeFrameHeader(FrameType::kInvokeReply, 0x01020304);
  const Bytes expected = {0x04, 0x03, 0x02, 0x01, 0x83, 0x00, 0x00, 0x00};
  EXPECT_EQ(Bytes(header.begin(), header.end()), expected);
}

// The annotated example of docs/protocol.md, byte for byte: ExportData1C(1 January 2024,
// 31 January 2024, 1, 1, an empty variant by reference).
TEST(Messages, InvokeMatchesTheDocumentedExample) {
  InvokeRequest request;
  request.method = "ExportData1C";
  request.arguments = {{Passing::kValue, WireValue::Date(45292)},
                       {Passing::kValue, WireValue::Date(45322)},
                       {Passing::kValue, WireValue::I4(1)},
                       {Passing::kValue, WireValue::I4(1)},
                       {Passing::kVariantReference, WireValue::Empty()}};
  const Bytes expected = {
      0x3C, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,  // header
      0x0C, 0x00, 0x00, 0x00, 'E',  'x',  'p',  'o',  'r',  't',  'D',
      'a',  't',  'a',  '1',  'C',  0x01, 0x00,                          // DISPATCH_METHOD
      0x00,                                                              // no result
      0x05, 0x00,                                                        // 5 arguments
      0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x1D, 0xE6, 0x40,  // DATE 45292
      0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x21, 0xE6, 0x40,  // DATE 45322
      0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00,                          // I4 1
      0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00,                          // I4 1
      0x02, 0x00, 0x00,                                                  // &Empty
  };
  EXPECT_EQ(EncodeFrame(FrameType::kInvoke, Encode(request)), expected);
}

// The documented answer to it: history ID 38 in the fifth argument.
TEST(Messages, InvokeReplyMatchesTheDocumentedExample) {
  InvokeReply reply;
  reply.references = {{4, WireValue::I4(38)}};
  const Bytes expected = {0x0C, 0x00, 0x00, 0x00, 0x83, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x01, 0x00, 0x04, 0x00, 0x03, 0x00, 0x26, 0x00, 0x00, 0x00};
  EXPECT_EQ(EncodeFrame(FrameType::kInvokeReply, Encode(reply)), expected);
}

TEST(Messages, EveryMessageReadsBackAsWritten) {
  InvokeRequest invoke;
  invoke.method = "ExportData1C";
  invoke.flags = 3;
  invoke.result_wanted = true;
  invoke.arguments = {
      {Passing::kValue, WireValue::Empty()},
      {Passing::kValue, WireValue::Null()},
      {Passing::kValue, WireValue::I2(-32768)},
      {Passing::kTypedReference, WireValue::I4(-7)},
      {Passing::kValue, WireValue::R8(-0.5)},
      {Passing::kValue, WireValue::Date(-1.25)},
      {Passing::kTypedReference, WireValue::String("Выгрузка «1С» \xF0\x9F\x93\x84")},
      {Passing::kValue, WireValue::String("")},
      {Passing::kValue, WireValue::Bool(true)},
      {Passing::kVariantReference, WireValue::Bool(false)},
      {Passing::kValue, WireValue::Bytes({0, 255, 7})},
      {Passing::kValue, WireValue::Bytes({})},
  };
  const InvokeRequest invoke_back = DecodeInvokeRequest(Encode(invoke));
  EXPECT_EQ(invoke_back.method, invoke.method);
  EXPECT_EQ(invoke_back.flags, 3);
  EXPECT_TRUE(invoke_back.result_wanted);
  EXPECT_EQ(invoke_back.arguments, invoke.arguments);

  InvokeReply reply;
  reply.result = WireValue::String("готово");
  reply.references = {{4, WireValue::I4(38)}, {0, WireValue::Null()}};
  const InvokeReply reply_back = DecodeInvokeReply(Encode(reply));
  EXPECT_EQ(reply_back.result, reply.result);
  EXPECT_EQ(reply_back.references, reply.references);

  GetRecordsRequest query{"dspQuery", -1, 1, "SELECT * FROM OK_EXPORT_HISTORY", WireValue::Null()};
  const GetRecordsRequest query_back = DecodeGetRecordsRequest(Encode(query));
  EXPECT_EQ(query_back.provider, query.provider);
  EXPECT_EQ(query_back.count, -1);
  EXPECT_EQ(query_back.options, 1);
  EXPECT_EQ(query_back.command_text, query.command_text);
  EXPECT_EQ(query_back.params, WireValue::Null());

  const GetRecordsReply records_back =
      DecodeGetRecordsReply(Encode(GetRecordsReply{2, WireValue::Bytes({1, 2})}));
  EXPECT_EQ(records_back.records_out, 2);
  EXPECT_EQ(records_back.data, WireValue::Bytes({1, 2}));

  const ErrorReply error_back =
      DecodeErrorReply(Encode(ErrorReply{-2147024809, "Tavolex.AppServer", "Нет"}));
  EXPECT_EQ(error_back.code, -2147024809);
  EXPECT_EQ(error_back.source, "Tavolex.AppServer");
  EXPECT_EQ(error_back.description, "Нет");

  const HelloReply hello_back = DecodeHelloReply(Encode(HelloReply{1, "server", {"A", "B"}}));
  EXPECT_EQ(hello_back.methods, (std::vector<std::string>{"A", "B"}));
  const Hello greeting = DecodeHello(Encode(Hello{kProtocolVersion, "host", "ivanova", "secret"}));
  EXPECT_EQ(greeting.client_name, "host");
  EXPECT_EQ(greeting.user, "ivanova");
  EXPECT_EQ(greeting.password, "secret");
  // A Hello of another version is read up to its version: what follows is that version's.
  const Hello old = DecodeHello(Bytes{'T', 'V', 'A', 'S', 1, 0, 3, 0, 0, 0, 'o', 'l', 'd'});
  EXPECT_EQ(old.version, 1);
  EXPECT_EQ(old.client_name, "");
}

TEST(Messages, NaNDateSurvivesAsItsBits) {
  const WireValue nan = WireValue::Date(std::nan(""));
  ByteWriter out;
  EncodeValue(out, nan);
  ByteReader in(out.Data());
  EXPECT_TRUE(std::isnan(DecodeValue(in).real));
}

// Payloads that break the protocol, each refused before anything it announces is allocated.
TEST(Messages, MalformedPayloadsAreRefused) {
  auto invoke_with = [](const Bytes& arguments, std::uint16_t count) {
    ByteWriter out;
    out.String("ExportAllData");
    out.U16(1);
    out.U8(0);
    out.U16(count);
    out.Raw(arguments);
    return out.Take();
  };
  struct Case {
    const char* name;
    Bytes payload;
  };
  const Case cases[] = {
      {"nothing at all", {}},
      {"unknown value type", invoke_with({0, 0x09, 0x00}, 1)},
      {"boolean 2", invoke_with({0, 0x0B, 0x00, 0x02}, 1)},
      {"string longer than the payload", invoke_with({0, 0x08, 0x00, 0xFF, 0xFF, 0xFF, 0x7F}, 1)},
      {"byte array longer than the payload", invoke_with({0, 0x11, 0x20, 0x10, 0, 0, 0, 1}, 1)},
      {"string not UTF-8", invoke_with({0, 0x08, 0x00, 2, 0, 0, 0, 0xC0, 0x80}, 1)},
      {"surrogate in UTF-8", invoke_with({0, 0x08, 0x00, 3, 0, 0, 0, 0xED, 0xA0, 0x80}, 1)},
      {"unknown passing", invoke_with({3, 0x03, 0x00, 1, 0, 0, 0}, 1)},
      {"typed reference to empty", invoke_with({1, 0x00, 0x00}, 1)},
      {"fewer arguments than counted", invoke_with({0, 0x00, 0x00}, 2)},
      {"too many arguments", invoke_with({}, static_cast<std::uint16_t>(kMaxArguments + 1))},
      {"bytes after the last argument", invoke_with({0, 0x00, 0x00, 0x00}, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(DecodeInvokeRequest(c.payload), ProtocolError);
  }
  ByteWriter no_name;
  no_name.String("");
  no_name.U16(1);
  no_name.U8(0);
  no_name.U16(0);
  EXPECT_THROW(DecodeInvokeRequest(no_name.Data()), ProtocolError);
  EXPECT_THROW(DecodeHello(Bytes{'H', 'T', 'T', 'P', 1, 0, 0, 0, 0, 0}), ProtocolError);
  ByteWriter long_password;
  long_password.Raw(Bytes{'T', 'V', 'A', 'S', 2, 0});
  long_password.String("host");
  long_password.String("ivanova");
  long_password.String(std::string(kMaxPasswordBytes + 1, 'x'));
  EXPECT_THROW(DecodeHello(long_password.Data()), ProtocolError);
  EXPECT_THROW(DecodeHello(Bytes{'T', 'V', 'A', 'S', 2, 0, 0, 0, 0, 0}), ProtocolError)
      << "a Hello of this version without credentials";
}

}  // namespace
