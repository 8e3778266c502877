#include "protocol/frame.h"

#include <string>

#include "protocol/byte_buffer.h"
#include "protocol/errors.h"

namespace tvx::example {

std::array<std::uint8_t, kFrameHeaderBytes> EncodeFrameHeader(FrameType type,
                                                              std::uint32_t length) {
  ByteWriter out;
  out.U32(length);
  out.U16(static_cast<std::uint16_t>(type));
  out.U16(0);
  std::array<std::uint8_t, kFrameHeaderBytes> header{};
  std::copy(out.Data().begin(), out.Data().end(), header.begin());
  return header;
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
  std::vector<std::uint8_t> bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

}  // namespace tvx::example
