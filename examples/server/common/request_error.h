// A request that the server refuses: the status code and the text that the caller receives
// as error info. Texts name what is wrong in the operator's words and end without a full
// stop (the module adds its own). They stay short: what SQLite or the system said, paths and
// other details go to the server's log only, as the error's detail.
#pragma once

#include <cstdint>
#include <string>

#include "rtl/exceptions.h"

namespace tvx::example {

// Status codes, as IDispatch and COM define them.
inline constexpr std::int32_t kFailed = static_cast<std::int32_t>(0x80004005u);  // E_FAIL
inline constexpr std::int32_t kInvalidArgument =
    static_cast<std::int32_t>(0x80070057u);  // E_INVALIDARG
inline constexpr std::int32_t kUnknownMember =
    static_cast<std::int32_t>(0x80020003u);  // DISP_E_MEMBERNOTFOUND
inline constexpr std::int32_t kTypeMismatch =
    static_cast<std::int32_t>(0x80020005u);  // DISP_E_TYPEMISMATCH
inline constexpr std::int32_t kBadParamCount =
    static_cast<std::int32_t>(0x8002000Eu);  // DISP_E_BADPARAMCOUNT
inline constexpr std::int32_t kServerBusy =
    static_cast<std::int32_t>(0x8001010Au);  // RPC_E_SERVERCALL_RETRYLATER
inline constexpr std::int32_t kAccessDenied =
    static_cast<std::int32_t>(0x80070005u);  // E_ACCESSDENIED

// The source that the server's error info names.
inline constexpr char kServerSource[] = "Tavolex.AppServer";

class RequestError : public Exception {
 public:
  RequestError(std::int32_t code, std::string message, std::string detail = {})
      : Exception(std::move(message)), code_(code), detail_(std::move(detail)) {}
  std::int32_t Code() const noexcept { return code_; }
  // For the log: what lies behind the message, or empty.
  const std::string& Detail() const noexcept { return detail_; }
  const char* ClassName() const noexcept override { return "RequestError"; }

 private:
  std::int32_t code_;
  std::string detail_;
};

}  // namespace tvx::example
