// The COM types of the module's boundary: the system's own on Windows; on Linux those of the
// module's COM runtime (libtavolex_com_runtime), one shared library that host and module share
// as Windows processes share oleaut32.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <ole2.h>
#include <oleauto.h>
#include <windows.h>
#else
#include "com/com.h"
#endif
