// The system's message table, in the user's language.
#include "rtl/text.h"
#include "server_client/ole_errors.h"

namespace tvx {

std::string SystemErrorText(HRESULT code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length == 0 || buffer == nullptr) return {};
  std::u16string text(reinterpret_cast<const char16_t*>(buffer), length);
  LocalFree(buffer);
  return TrimTrailingPunctuation(Utf16ToUtf8(text));
}

}  // namespace tvx
