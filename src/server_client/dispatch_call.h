// Late-bound method calls by name on an automation object.
#pragma once

#include <span>
#include <string_view>

#include "com/com.h"

namespace tvx {

// Calls `method` on the automation object that `target` holds: GetIDsOfNames for the one
// name, then Invoke as a method with the arguments given first to last (passed in reverse
// order, as IDispatch wants them), no named arguments and no result asked for. The caller
// keeps ownership of the arguments, and of what a by-reference argument refers to.
//
// Raises EVariantError "Invalid variant operation" when `target` holds no automation
// object; EOleError "Method '<method>' not supported by automation object" when the name
// is refused; EOleException with the server's description when the server reports an
// exception; EOleSysError for any other failure.
void DispatchCall(const VARIANT& target, std::string_view method,
                  std::span<const VARIANT> arguments = {});

}  // namespace tvx
