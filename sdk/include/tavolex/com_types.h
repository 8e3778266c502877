// The COM types of the module's boundary and the boundary's interfaces themselves. The COM types
// are the system's own on Windows; on Linux those of the module's COM runtime
// (libtavolex_com_runtime), one shared library that host and module share as Windows processes
// share oleaut32. The interfaces come from tavolex/boundary.h, which widl generates from the
// boundary's IDL (sdk/idl/tavolex.idl) for C and C++ alike.
#pragma once

#include "tavolex/interface_id.h"

#ifndef _WIN32
#include "com/com.h"

// What widl's header takes from the system's headers on Windows, spelled for the module's COM
// runtime: interfaces as structs, identifiers as constants, and each interface's identifier
// known to templates (tavolex::IidOf) as MinGW's __uuidof knows it.
#define COM_NO_WINDOWS_H
#define interface struct
#define MIDL_INTERFACE(x) struct
#define BEGIN_INTERFACE
#define END_INTERFACE
#define __RPC_USER
#define DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};
#define __CRT_UUID_DECL(type, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)        \
  extern "C++" {                                                                \
  template <>                                                                   \
  struct TavolexUuidOf<type> {                                                  \
    static constexpr IID value = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}; \
  };                                                                            \
  }
#endif

#include "tavolex/boundary.h"

#ifndef _WIN32
#undef interface
#undef MIDL_INTERFACE
#undef BEGIN_INTERFACE
#undef END_INTERFACE
#undef __RPC_USER
#undef DEFINE_GUID
#undef __CRT_UUID_DECL
#endif
