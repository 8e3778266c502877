#include "server_client/dispatch_call.h"

#include <string>
#include <vector>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "rtl/exceptions.h"
#include "rtl/text.h"
#include "server_client/ole_errors.h"

namespace tvx {

namespace {

// The automation object of a VT_DISPATCH variant, or of a variant referring to one.
IDispatch* DispatchOf(const VARIANT& target) {
  if (target.vt == VT_DISPATCH) return target.pdispVal;
  if (target.vt == (VT_DISPATCH | VT_BYREF) && target.ppdispVal != nullptr) {
    return *target.ppdispVal;
  }
  return nullptr;
}

// Exception details filled in by Invoke; its strings are freed on every path.
struct ExceptionDetails {
  EXCEPINFO info{};
  ExceptionDetails() = default;
  ExceptionDetails(const ExceptionDetails&) = delete;
  ExceptionDetails& operator=(const ExceptionDetails&) = delete;
  ~ExceptionDetails() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
};

[[noreturn]] void RaiseServerException(ExceptionDetails& details) {
  EXCEPINFO& info = details.info;
  if (info.pfnDeferredFillIn != nullptr) {
    auto fill_in = info.pfnDeferredFillIn;
    info.pfnDeferredFillIn = nullptr;
    fill_in(&info);
  }
  const HRESULT code = info.scode != 0 ? info.scode : DISP_E_EXCEPTION;
  std::string message = TrimTrailingPunctuation(Utf16ToUtf8(BStrView(info.bstrDescription)));
  if (message.empty()) message = OleErrorText(code);
  throw EOleException(std::move(message), code, Utf16ToUtf8(BStrView(info.bstrSource)));
}

}  // namespace

void DispatchCall(const VARIANT& target, std::string_view method,
                  std::span<const VARIANT> arguments) {
  const ComPtr<IDispatch> object(DispatchOf(target));
  if (!object) throw EVariantError("Invalid variant operation");

  std::u16string name = Utf8ToUtf16(method);
  LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT lookup = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (lookup == DISP_E_UNKNOWNNAME || lookup == DISP_E_MEMBERNOTFOUND) {
    throw EOleError("Method '" + std::string(method) + "' not supported by automation object");
  }
  // Any other failure of the look-up (a lost connection to the server, say) is reported
  // as what it is rather than as an unknown method.
  CheckCallResult(lookup, object.Get(), IID_IDispatch);

  // Shallow copies: the callee borrows the arguments, the caller still owns them.
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  ExceptionDetails details;
  UINT argument_error = 0;
  const HRESULT code = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                      nullptr, &details.info, &argument_error);
  if (code == DISP_E_EXCEPTION) RaiseServerException(details);
  if (FAILED(code)) RaiseOleSysError(code);
}

}  // namespace tvx
