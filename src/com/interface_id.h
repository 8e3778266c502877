// Names an interface's IID in templates: tvx::IidOf<IDispatch>(). The system's interfaces
// are known here; an interface of our own declares its IID once with
// TVX_DECLARE_INTERFACE_ID(IName, "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX") after its
// declaration, at global scope.
#pragma once

#include <cstdint>
#include <string_view>

#include "com/com.h"

namespace tvx {

// Specialised per interface with `static const IID& Get()`.
template <class Interface>
struct InterfaceId;

template <class Interface>
const IID& IidOf() {
  return InterfaceId<Interface>::Get();
}

namespace detail {

consteval std::uint32_t HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
  throw "a GUID holds hexadecimal digits only";
}

consteval std::uint32_t HexField(std::string_view text, std::size_t at, std::size_t digits) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < digits; ++i) value = value * 16 + HexDigit(text[at + i]);
  return value;
}

}  // namespace detail

// Reads "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", with or without braces, at compile time.
consteval GUID ParseGuid(std::string_view text) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
    text = text.substr(1, 36);
  }
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
      text[23] != '-') {
    throw "a GUID reads XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX";
  }
  GUID guid{};
  guid.Data1 = detail::HexField(text, 0, 8);
  guid.Data2 = static_cast<std::uint16_t>(detail::HexField(text, 9, 4));
  guid.Data3 = static_cast<std::uint16_t>(detail::HexField(text, 14, 4));
  constexpr std::size_t kByteAt[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (std::size_t i = 0; i < 8; ++i) {
    guid.Data4[i] = static_cast<std::uint8_t>(detail::HexField(text, kByteAt[i], 2));
  }
  return guid;
}

#define TVX_SYSTEM_INTERFACE_ID(Interface)              \
  template <>                                           \
  struct InterfaceId<Interface> {                       \
    static const IID& Get() { return IID_##Interface; } \
  }

TVX_SYSTEM_INTERFACE_ID(IUnknown);
TVX_SYSTEM_INTERFACE_ID(IDispatch);
TVX_SYSTEM_INTERFACE_ID(IErrorInfo);
TVX_SYSTEM_INTERFACE_ID(ICreateErrorInfo);
TVX_SYSTEM_INTERFACE_ID(ISupportErrorInfo);

#undef TVX_SYSTEM_INTERFACE_ID

}  // namespace tvx

#define TVX_DECLARE_INTERFACE_ID(Interface, text)        \
  template <>                                            \
  struct tvx::InterfaceId<Interface> {                   \
    static const IID& Get() {                            \
      static constexpr IID iid = ::tvx::ParseGuid(text); \
      return iid;                                        \
    }                                                    \
  }
