// What the component model hands to the application layer above it: exceptions that nobody
// else can take (those of the creation and destruction events of a data module or a form).
#pragma once

#include <exception>
#include <functional>

namespace tvx {

class TObject;

// Receives the exception and the object whose event raised it.
using TExceptionHandler = std::function<void(TObject* sender, std::exception_ptr error)>;

// Installs the handler (null restores the default, which writes the message to standard error
// and drops a silent abort). Returns the previous one.
TExceptionHandler SetApplicationHandleException(TExceptionHandler handler);

// Passes the exception to the installed handler; never throws.
void ApplicationHandleException(TObject* sender, std::exception_ptr error) noexcept;

}  // namespace tvx
