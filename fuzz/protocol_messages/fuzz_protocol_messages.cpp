// The application-server protocol's readers against arbitrary bytes: the first byte picks the
// reader (a frame header or one of the messages), the rest is its input. A reader either
// refuses the bytes with ProtocolError or returns a message that encodes back to exactly
// those bytes (every message has one encoding). A Hello of another version is read up to its
// version only, so it has nothing to encode back to.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "protocol/errors.h"
#include "protocol/frame.h"
#include "protocol/messages.h"

namespace {

using namespace tvx::example;

template <class Decode>
void RoundTrip(std::span<const std::uint8_t> payload, Decode decode) {
  try {
    const auto message = decode(payload);
    const std::vector<std::uint8_t> again = Encode(message);
    if (!std::equal(again.begin(), again.end(), payload.begin(), payload.end())) std::abort();
  } catch (const ProtocolError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> payload(data + 1, size - 1);
  switch (data[0] % 8) {
    case 0:
      try {
        if (DecodeHello(payload).version != kProtocolVersion) break;
      } catch (const ProtocolError&) {
        break;
      }
      RoundTrip(payload, DecodeHello);
      break;
    case 1:
      RoundTrip(payload, DecodeHelloReply);
      break;
    case 2:
      RoundTrip(payload, DecodeGetRecordsRequest);
      break;
    case 3:
      RoundTrip(payload, DecodeGetRecordsReply);
      break;
    case 4:
      RoundTrip(payload, DecodeInvokeRequest);
      break;
    case 5:
      RoundTrip(payload, DecodeInvokeReply);
      break;
    case 6:
      RoundTrip(payload, DecodeErrorReply);
      break;
    default:
      if (payload.size() >= kFrameHeaderBytes) {
        try {
          const FrameHeader header =
              ParseFrameHeader(payload.first<kFrameHeaderBytes>(), kMaxReplyPayload);
          if (header.length > kMaxReplyPayload) std::abort();
        } catch (const ProtocolError&) {
        }
      }
  }
  return 0;
}
