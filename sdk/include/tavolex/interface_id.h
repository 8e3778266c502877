// An interface's identifier named by its type in C++: tavolex::IidOf<IPlugin>(). The boundary's
// interfaces and the system's (IUnknown, IDispatch, IErrorInfo, ...) are known as the compiler
// knows them (__uuidof on Windows; on Linux the module's COM runtime's identifiers). An interface
// declared in C++ alone, outside any IDL, names its identifier once, after its declaration and at
// global scope:
//
//   TAVOLEX_INTERFACE_ID(my::IThing, "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX");
//
// Header only; it needs nothing but the COM types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <ole2.h>
#include <oleauto.h>
#include <windows.h>
#else
#include "com/posix/dispatch.h"
#include "com/posix/error_info.h"
#include "com/posix/types.h"
#include "com/posix/unknown.h"

// What __uuidof reads on Windows: the identifier of each interface that a header declares, as
// MinGW's headers give it (the boundary's come from its generated header, tavolex/com_types.h).
template <class Interface>
struct TavolexUuidOf;
#define TAVOLEX_RUNTIME_INTERFACE_ID(Interface)          \
  template <>                                            \
  struct TavolexUuidOf<Interface> {                      \
    static constexpr const IID& value = IID_##Interface; \
  }
TAVOLEX_RUNTIME_INTERFACE_ID(IUnknown);
TAVOLEX_RUNTIME_INTERFACE_ID(IDispatch);
TAVOLEX_RUNTIME_INTERFACE_ID(IErrorInfo);
TAVOLEX_RUNTIME_INTERFACE_ID(ICreateErrorInfo);
TAVOLEX_RUNTIME_INTERFACE_ID(ISupportErrorInfo);
#undef TAVOLEX_RUNTIME_INTERFACE_ID
#endif

namespace tavolex {

// The identifier of Interface. Specialised (through TAVOLEX_INTERFACE_ID) for an interface that
// no header gives one.
template <class Interface>
struct InterfaceId {
  static constexpr const IID& Get() {
#ifdef _WIN32
    return __uuidof(Interface);
#else
    return TavolexUuidOf<Interface>::value;
#endif
  }
};

template <class Interface>
constexpr const IID& IidOf() {
  return InterfaceId<Interface>::Get();
}

namespace detail {

constexpr std::uint32_t HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
  throw "a GUID holds hexadecimal digits only";
}

constexpr std::uint32_t HexField(std::string_view text, std::size_t at, std::size_t digits) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < digits; ++i) value = value * 16 + HexDigit(text[at + i]);
  return value;
}

}  // namespace detail

// Reads "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", with or without braces. Evaluated at compile
// time (as TAVOLEX_INTERFACE_ID does), a malformed text fails the build.
constexpr GUID ParseGuid(std::string_view text) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
    text = text.substr(1, 36);
  }
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
      text[23] != '-') {
    throw "a GUID reads XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX";
  }
  GUID guid{};
  guid.Data1 = static_cast<decltype(guid.Data1)>(detail::HexField(text, 0, 8));
  guid.Data2 = static_cast<std::uint16_t>(detail::HexField(text, 9, 4));
  guid.Data3 = static_cast<std::uint16_t>(detail::HexField(text, 14, 4));
  constexpr std::size_t kByteAt[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (std::size_t i = 0; i < 8; ++i) {
    guid.Data4[i] = static_cast<std::uint8_t>(detail::HexField(text, kByteAt[i], 2));
  }
  return guid;
}

}  // namespace tavolex

#define TAVOLEX_INTERFACE_ID(Interface, text)                 \
  template <>                                                 \
  struct tavolex::InterfaceId<Interface> {                    \
    static constexpr IID kValue = ::tavolex::ParseGuid(text); \
    static constexpr const IID& Get() { return kValue; }      \
  }
