// Sending and receiving whole frames on a socket, with their limits and time-outs.
#pragma once

#include <chrono>

#include "protocol/frame.h"
#include "protocol/socket.h"

namespace tvx::example {

// Reads the header once the socket has data, then the whole frame within `io_timeout` of
// its first byte. The header is checked (ParseFrameHeader) before the payload is read or
// allocated. Raises ProtocolError for a header out of bounds and ConnectionError for a
// failed read; waiting for the first byte beyond first_byte_deadline raises ConnectionError
// kTimedOut.
Frame ReadFrame(Socket& socket, std::uint32_t max_payload, Clock::time_point first_byte_deadline,
                std::chrono::milliseconds io_timeout);

void WriteFrame(Socket& socket, FrameType type, std::span<const std::uint8_t> payload,
                std::chrono::milliseconds io_timeout);

}  // namespace tvx::example
