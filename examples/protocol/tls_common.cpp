// What both TLS implementations share: fingerprints in text and the look of a TLS record.
#include <algorithm>
#include <cctype>

#include "protocol/frame_io.h"
#include "protocol/messages.h"
#include "protocol/tls.h"
#include "rtl/exceptions.h"

namespace tvx::example {

std::string NormaliseFingerprint(const std::string& text) {
  std::string hex;
  for (const char c : text) {
    if (c == ':' || c == ' ') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      throw Exception("отпечаток сертификата: ожидались шестнадцатеричные цифры, а не «" +
                      std::string(1, c) + "»");
    }
    hex += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (!hex.empty() && hex.size() != 64) {
    throw Exception("отпечаток сертификата: ожидались 64 шестнадцатеричные цифры SHA-256, их " +
                    std::to_string(hex.size()));
  }
  return hex;
}

std::string FingerprintText(std::span<const std::uint8_t, 32> sha256) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : sha256) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

bool LooksLikeTlsRecord(std::span<const std::uint8_t> first_bytes) {
  return first_bytes.size() >= 3 && first_bytes[0] >= 20 && first_bytes[0] <= 23 &&
         first_bytes[1] == 3 && first_bytes[2] <= 4;
}

ConnectionError PlainAnswerError(Socket& socket, Clock::time_point deadline) {
  constexpr std::int32_t kRetryLater = static_cast<std::int32_t>(0x8001010Au);
  try {
    const auto left =
        std::max(std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()),
                 std::chrono::milliseconds{1});
    const Frame frame = ReadFrame(socket, 4096, deadline, left);
    if (frame.type == FrameType::kError) {
      const ErrorReply error = DecodeErrorReply(frame.payload);
      if (error.code == kRetryLater) {
        return ConnectionError(ConnectionFailure::kRejected, error.description);
      }
    }
  } catch (const Exception&) {
    // Not a frame of this protocol either: a server without TLS all the same.
  }
  return ConnectionError(ConnectionFailure::kRejected,
                         "сервер отвечает без шифрования: TLS на нём не включён");
}

}  // namespace tvx::example
