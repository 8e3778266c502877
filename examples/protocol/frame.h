// Frames: every message travels as an 8-byte header (payload length, frame type, a reserved
// zero) followed by its payload. docs/protocol.md describes the layout and its limits.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tvx::example {

enum class FrameType : std::uint16_t {
  kHello = 0x0001,
  kGetRecords = 0x0002,
  kInvoke = 0x0003,
  kHelloReply = 0x0081,
  kGetRecordsReply = 0x0082,
  kInvokeReply = 0x0083,
  kError = 0x00FF,
};

inline constexpr std::size_t kFrameHeaderBytes = 8;
// The largest payload a server accepts (requests) and a client accepts (replies). A frame
// that announces more is refused before anything is allocated for it.
inline constexpr std::uint32_t kMaxRequestPayload = 1u << 20;
inline constexpr std::uint32_t kMaxReplyPayload = 64u << 20;

struct FrameHeader {
  std::uint32_t length = 0;  // payload bytes
  std::uint16_t type = 0;    // a FrameType, unchecked here: the receiver knows what it expects
};

struct Frame {
  FrameType type{};
  std::vector<std::uint8_t> payload;
};

std::array<std::uint8_t, kFrameHeaderBytes> EncodeFrameHeader(FrameType type, std::uint32_t length);

// Raises ProtocolError for a reserved field that is not zero, or a length above max_payload.
FrameHeader ParseFrameHeader(std::span<const std::uint8_t, kFrameHeaderBytes> bytes,
                             std::uint32_t max_payload);

// A frame's bytes, header and payload, ready to send.
std::vector<std::uint8_t> EncodeFrame(FrameType type, std::span<const std::uint8_t> payload);

}  // namespace tvx::example
