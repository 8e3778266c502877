// BSTR: a length-prefixed UTF-16 string. The 32-bit byte length sits just before the
// characters, a null character follows them, and embedded nulls are allowed. A null BSTR
// stands for the empty string.
#pragma once

#include "com/posix/types.h"

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

// A copy of a null-terminated string; null for a null argument.
BSTR SysAllocString(const OLECHAR* text);
// `length` characters, copied from `text` when it is not null, else zero-filled.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// `length` bytes, copied from `bytes` when it is not null, else zero-filled.
BSTR SysAllocStringByteLen(const char* bytes, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);
// Replaces *target by a copy of `text` (which may point into *target); FALSE when target
// is null or memory runs out, *target being then unchanged.
INT SysReAllocString(BSTR* target, const OLECHAR* text);
