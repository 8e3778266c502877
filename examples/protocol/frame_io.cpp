#include "protocol/frame_io.h"

#include "protocol/errors.h"

namespace tvx::example {

namespace {
constexpr std::size_t kSmallFrameBytes = 64 * 1024;
}  // namespace

Frame ReadFrame(Socket& socket, std::uint32_t max_payload, Clock::time_point first_byte_deadline,
                std::chrono::milliseconds io_timeout) {
  if (!socket.WaitReadable(first_byte_deadline)) {
    throw ConnectionError(ConnectionFailure::kTimedOut, "сервер не ответил вовремя");
  }
  const auto deadline = Clock::now() + io_timeout;
  std::array<std::uint8_t, kFrameHeaderBytes> header_bytes{};
  socket.ReceiveExact(header_bytes, deadline);
  const FrameHeader header = ParseFrameHeader(header_bytes, max_payload);
  Frame frame;
  frame.type = static_cast<FrameType>(header.type);
  frame.payload.resize(header.length);
  socket.ReceiveExact(frame.payload, deadline);
  return frame;
}

void WriteFrame(Socket& socket, FrameType type, std::span<const std::uint8_t> payload,
                std::chrono::milliseconds io_timeout) {
  const auto deadline = Clock::now() + io_timeout;
  const auto header = EncodeFrameHeader(type, static_cast<std::uint32_t>(payload.size()));
  // A small frame goes out in one piece: with TCP_NODELAY set, two sends would be two
  // packets for every request.
  if (payload.size() <= kSmallFrameBytes) {
    socket.SendAll(EncodeFrame(type, payload), deadline);
    return;
  }
  socket.SendAll(header, deadline);
  socket.SendAll(payload, deadline);
}

}  // namespace tvx::example
