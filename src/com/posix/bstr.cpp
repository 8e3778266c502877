#include "com/posix/bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// Room for the length prefix and for a terminating null character after the data, which
// for an odd byte length means one more byte so that the terminator is a whole OLECHAR.
constexpr std::size_t kPrefix = sizeof(std::uint32_t);
constexpr std::size_t kTerminator = sizeof(OLECHAR) + 1;

std::uint32_t* PrefixOf(BSTR text) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}

}  // namespace

BSTR SysAllocStringByteLen(const char* bytes, UINT length) {
  if (length > std::numeric_limits<std::uint32_t>::max() - kPrefix - kTerminator) return nullptr;
  auto* block = static_cast<char*>(std::malloc(kPrefix + length + kTerminator));
  if (block == nullptr) return nullptr;
  const std::uint32_t byte_length = length;
  std::memcpy(block, &byte_length, kPrefix);
  char* data = block + kPrefix;
  if (bytes != nullptr) {
    std::memcpy(data, bytes, length);
  } else {
    std::memset(data, 0, length);
  }
  std::memset(data + length, 0, kTerminator);
  return reinterpret_cast<BSTR>(data);
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > std::numeric_limits<UINT>::max() / sizeof(OLECHAR)) return nullptr;
  return SysAllocStringByteLen(reinterpret_cast<const char*>(text),
                               static_cast<UINT>(length * sizeof(OLECHAR)));
}

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  std::size_t length = 0;
  while (text[length] != u'\0') ++length;
  if (length > std::numeric_limits<UINT>::max()) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(length));
}

void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(PrefixOf(text));
}

UINT SysStringByteLen(BSTR text) {
  if (text == nullptr) return 0;
  std::uint32_t byte_length;
  std::memcpy(&byte_length, PrefixOf(text), kPrefix);
  return byte_length;
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

INT SysReAllocString(BSTR* target, const OLECHAR* text) {
  if (target == nullptr) return 0;
  BSTR copy = SysAllocString(text);
  if (copy == nullptr && text != nullptr) return 0;
  SysFreeString(*target);
  *target = copy;
  return 1;
}
