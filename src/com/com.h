// The COM subset the module uses, one set of names for both platforms. On Windows these
// are the system's own headers (linked against ole32, oleaut32 and uuid); elsewhere our
// own implementation with the same layout, values and ownership rules.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <ole2.h>
#include <oleauto.h>
#include <windows.h>
#else
#include "com/posix/bstr.h"
#include "com/posix/dispatch.h"
#include "com/posix/error_info.h"
#include "com/posix/safearray.h"
#include "com/posix/types.h"
#include "com/posix/unknown.h"
#include "com/posix/variant.h"
#endif

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "OLECHAR must be a UTF-16 code unit");
