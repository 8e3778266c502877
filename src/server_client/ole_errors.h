// The texts and exceptions of failed COM calls.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"

namespace tvx {

// Removes trailing blanks, control characters and full stops: a server's description
// and a system text end the same way (a message box adds its own full stop).
std::string TrimTrailingPunctuation(std::string_view text);

// The system's text for a status code, trimmed; empty when the system has none.
std::string SystemErrorText(HRESULT code);

// The system's text, else "OLE error %.8x" (eight lowercase hexadecimal digits).
std::string OleErrorText(HRESULT code);

// Raises EOleSysError with OleErrorText(code).
[[noreturn]] void RaiseOleSysError(HRESULT code);

// Raises EOleSysError when `code` is a failure.
void OleCheck(HRESULT code);

// Checks the status of a call through interface `iid` of `object`. On failure: when the
// object supports error info for that interface and the thread holds one, EOleException
// with its description (trimmed; OleErrorText when it has none) and source; otherwise
// EOleSysError. The thread's error info is taken (cleared) in the first case.
void CheckCallResult(HRESULT code, IUnknown* object, REFIID iid);

}  // namespace tvx
