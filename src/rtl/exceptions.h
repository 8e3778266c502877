// The exceptions the module raises. Every failure inside the module is one of these;
// each carries the message that the operator or the host will read.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace tvx {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }
  // The class name as the operator's error reports and the boundary name it.
  virtual const char* ClassName() const noexcept { return "Exception"; }

 private:
  std::string message_;
};

// Name and Base are class names, which parentheses would not leave names.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define TVX_EXCEPTION_CLASS(Name, Base)                               \
  class Name : public Base {                                          \
   public:                                                            \
    using Base::Base;                                                 \
    const char* ClassName() const noexcept override { return #Name; } \
  }
// NOLINTEND(bugprone-macro-parentheses)

// The silent abort: a handler that has already told the operator what is wrong stops
// with it, and exception handling drops it without a message.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  const char* ClassName() const noexcept override { return "EAbort"; }
};

TVX_EXCEPTION_CLASS(EResNotFound, Exception);
TVX_EXCEPTION_CLASS(EConvertError, Exception);
TVX_EXCEPTION_CLASS(EVariantError, Exception);
TVX_EXCEPTION_CLASS(EDatabaseError, Exception);
TVX_EXCEPTION_CLASS(EOleError, Exception);
TVX_EXCEPTION_CLASS(EStreamError, Exception);
TVX_EXCEPTION_CLASS(EInvalidOperation, Exception);
TVX_EXCEPTION_CLASS(EListError, Exception);
TVX_EXCEPTION_CLASS(EComponentError, Exception);

class EIntfCastError : public Exception {
 public:
  EIntfCastError() : Exception("Interface not supported") {}
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EIntfCastError"; }
};

// An OLE call that failed with a status code.
class EOleSysError : public EOleError {
 public:
  EOleSysError(std::string message, int32_t error_code)
      : EOleError(std::move(message)), error_code_(error_code) {}
  int32_t ErrorCode() const noexcept { return error_code_; }
  const char* ClassName() const noexcept override { return "EOleSysError"; }

 private:
  int32_t error_code_;
};

// An OLE call whose server described the failure (source and description).
class EOleException : public EOleSysError {
 public:
  EOleException(std::string message, int32_t error_code, std::string source)
      : EOleSysError(std::move(message), error_code), source_(std::move(source)) {}
  const std::string& Source() const noexcept { return source_; }
  const char* ClassName() const noexcept override { return "EOleException"; }

 private:
  std::string source_;
};

#undef TVX_EXCEPTION_CLASS

// Raises the silent abort.
[[noreturn]] void Abort();

}  // namespace tvx
