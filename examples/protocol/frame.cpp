#include "protocol/frame.h"

#include <cstring>
#include <string>

#include "protocol/byte_buffer.h"
#include "protocol/errors.h"

namespace tvx::example {

std::array<std::uint8_t, kFrameHeaderBytes> EncodeFrameHeader(FrameType type,
                                                              std::uint32_t length) {
  const auto code = static_cast<std::uint16_t>(type);
  return {static_cast<std::uint8_t>(length),
          static_cast<std::uint8_t>(length >> 8),
          static_cast<std::uint8_t>(length >> 16),
          static_cast<std::uint8_t>(length >> 24),
          static_cast<std::uint8_t>(code),
          static_cast<std::uint8_t>(code >> 8),
          0,
          0};
}

FrameHeader ParseFrameHeader(std::span<const std::uint8_t, kFrameHeaderBytes> bytes,
                             std::uint32_t max_payload) {
  ByteReader in(bytes);
  FrameHeader header;
  header.length = in.U32();
  header.type = in.U16();
  if (in.U16() != 0) throw ProtocolError("в заголовке кадра занято резервное поле");
  if (header.length > max_payload) {
    throw ProtocolError("кадр длиной " + std::to_string(header.length) +
                        " байт больше допустимых " + std::to_string(max_payload));
  }
  return header;
}

std::vector<std::uint8_t> EncodeFrame(FrameType type, std::span<const std::uint8_t> payload) {
  const auto header = EncodeFrameHeader(type, static_cast<std::uint32_t>(payload.size()));
  std::vector<std::uint8_t> bytes(kFrameHeaderBytes + payload.size());
  std::memcpy(bytes.data(), header.data(), kFrameHeaderBytes);
  if (!payload.empty())
    std::memcpy(bytes.data() + kFrameHeaderBytes, payload.data(), payload.size());
  return bytes;
}

}  // namespace tvx::example
