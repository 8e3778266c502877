// VARIANTs to the protocol's values and back: the types that calls to the application server
// carry (empty, null, VT_I2, VT_I4, VT_R8, VT_DATE, VT_BSTR, VT_BOOL, byte arrays), and
// arguments by reference to them.
#pragma once

#include <optional>

#include "com/com.h"
#include "protocol/wire_value.h"

namespace tvx::example {

// A by-value VARIANT of a carried type; nullopt for any other (VT_DISPATCH, VT_I8, arrays of
// other elements or dimensions, by-reference variants ...).
std::optional<WireValue> ToWireValue(const VARIANT& value);

// An argument as IDispatch::Invoke receives it: by value, by reference to a carried type
// (VT_BYREF | type), or by reference to a variant that holds a carried type by value
// (VT_BYREF | VT_VARIANT). nullopt for anything else, null references included.
std::optional<WireArgument> ToWireArgument(const VARIANT& argument);

// A new VARIANT holding `value`; `out` is overwritten without being cleared. E_OUTOFMEMORY
// when a string or array cannot be allocated.
HRESULT FromWireValue(const WireValue& value, VARIANT* out);

// Puts a value that the server returned into a by-reference argument: replaces what a
// VT_BYREF | VT_VARIANT argument refers to, or assigns a typed reference of the same type.
// DISP_E_TYPEMISMATCH when the value does not fit the reference; the argument is then
// unchanged.
HRESULT StoreReference(const VARIANT& argument, const WireValue& value);

}  // namespace tvx::example
