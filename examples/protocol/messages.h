// The messages of the protocol and their payloads (docs/protocol.md). Each Encode gives a
// payload; each Decode reads one and raises ProtocolError unless it is exactly the message.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "protocol/wire_value.h"

namespace tvx::example {

// 1: without credentials in the Hello; 2: with them.
inline constexpr std::uint16_t kProtocolVersion = 2;
inline constexpr char kHelloMagic[4] = {'T', 'V', 'A', 'S'};
// Limits of names: methods and providers 1..255 bytes; at most 64 arguments and 256 methods.
// A password takes at most 1024 bytes.
inline constexpr std::size_t kMaxNameBytes = 255;
inline constexpr std::size_t kMaxPasswordBytes = 1024;
inline constexpr std::size_t kMaxArguments = 64;
inline constexpr std::size_t kMaxMethods = 256;

// Client to server, first frame of every connection: who speaks, and who they are.
struct Hello {
  std::uint16_t version = kProtocolVersion;
  std::string client_name;  // for the server's log
  std::string user;
  std::string password;
};

// The server's answer to Hello: its version, its name, and the methods it can be called by.
struct HelloReply {
  std::uint16_t version = kProtocolVersion;
  std::string server_name;
  std::vector<std::string> methods;
};

// IAppServer::AS_GetRecords.
struct GetRecordsRequest {
  std::string provider;
  std::int32_t count = -1;
  std::int32_t options = 0;
  std::string command_text;
  WireValue params;
};

struct GetRecordsReply {
  std::int32_t records_out = 0;
  WireValue data;  // a data packet as bytes, or empty or null for "no packet"
};

// IDispatch::Invoke by name.
struct InvokeRequest {
  std::string method;
  std::uint16_t flags = 1;  // DISPATCH_METHOD
  bool result_wanted = false;
  std::vector<WireArgument> arguments;  // first to last
};

// A value that a by-reference argument holds after the call.
struct ReturnedReference {
  std::uint16_t index = 0;  // the argument's position, 0 = first
  WireValue value;
  bool operator==(const ReturnedReference&) const = default;
};

struct InvokeReply {
  WireValue result;
  std::vector<ReturnedReference> references;
};

// The failure of a request, or the reason why the server closes the connection.
struct ErrorReply {
  std::int32_t code = 0;  // an HRESULT
  std::string source;
  std::string description;
};

std::vector<std::uint8_t> Encode(const Hello& message);
std::vector<std::uint8_t> Encode(const HelloReply& message);
std::vector<std::uint8_t> Encode(const GetRecordsRequest& message);
std::vector<std::uint8_t> Encode(const GetRecordsReply& message);
std::vector<std::uint8_t> Encode(const InvokeRequest& message);
std::vector<std::uint8_t> Encode(const InvokeReply& message);
std::vector<std::uint8_t> Encode(const ErrorReply& message);

// A Hello of another version is read up to its version only: the rest is that version's.
Hello DecodeHello(std::span<const std::uint8_t> payload);
HelloReply DecodeHelloReply(std::span<const std::uint8_t> payload);
GetRecordsRequest DecodeGetRecordsRequest(std::span<const std::uint8_t> payload);
GetRecordsReply DecodeGetRecordsReply(std::span<const std::uint8_t> payload);
InvokeRequest DecodeInvokeRequest(std::span<const std::uint8_t> payload);
InvokeReply DecodeInvokeReply(std::span<const std::uint8_t> payload);
ErrorReply DecodeErrorReply(std::span<const std::uint8_t> payload);

}  // namespace tvx::example
