// Failures and texts at the module's boundary. Inside the module a failure is an exception; a call
// from the host ends with a status and, for the host to read, the thread's error info: its
// description is the exception's message, its source the exception's class name, its GUID the
// interface called. A silent abort ends with tavolex::kSilentAbort and no error info.
#pragma once

#include <string>
#include <utility>

#include "com/com.h"
#include "rtl/exceptions.h"

namespace tvx {

// A call from the host with an argument the operation cannot take (a null out-pointer, an
// index out of range); its status is E_POINTER or E_INVALIDARG.
class EInvalidArgument : public Exception {
 public:
  EInvalidArgument(HRESULT status, std::string message)
      : Exception(std::move(message)), status_(status) {}
  HRESULT Status() const noexcept { return status_; }
  const char* ClassName() const noexcept override { return "EInvalidArgument"; }

 private:
  HRESULT status_;
};

// Inside a catch block: the status for the exception being handled, with the thread's error
// info set (or cleared, for a silent abort). EOleSysError keeps its status, EIntfCastError
// gives E_NOINTERFACE, EListError E_INVALIDARG, EInvalidArgument its own, running out of memory
// E_OUTOFMEMORY, anything else E_FAIL (E_UNEXPECTED when it is no exception of ours or of the
// standard library, and not a failure of the headless user interface).
HRESULT ReportFailure(REFIID iid) noexcept;

// Runs body for an operation of interface iid: S_OK, or the status of its failure.
template <class Body>
HRESULT Guarded(REFIID iid, Body&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (...) {
    return ReportFailure(iid);
  }
}

// Raises EInvalidArgument (E_POINTER) for a null out-pointer.
template <class T>
T* Required(T* pointer) {
  if (pointer == nullptr) throw EInvalidArgument(E_POINTER, "Invalid pointer");
  return pointer;
}

// Hands a text (UTF-8 inside the module) out as a new BSTR.
void OutText(BSTR* out, const std::string& text);
// Hands two texts out, both or neither: every out-pointer is checked (and the texts made)
// before either is handed out, since a caller frees nothing after a failed call.
void OutTexts(BSTR* first_out, const std::string& first, BSTR* second_out,
              const std::string& second);
// A text handed in, as UTF-8.
std::string InText(BSTR text);

}  // namespace tvx
