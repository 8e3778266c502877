#include "server_client/ole_errors.h"

#include <cstdint>
#include <cstdio>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "rtl/exceptions.h"
#include "rtl/text.h"

namespace tvx {

std::string TrimTrailingPunctuation(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0) {
    const auto c = static_cast<unsigned char>(text[end - 1]);
    if (c > ' ' && c != '.') break;
    --end;
  }
  return std::string(text.substr(0, end));
}

std::string OleErrorText(HRESULT code) {
  std::string text = SystemErrorText(code);
  if (!text.empty()) return text;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "OLE error %.8x", static_cast<unsigned>(code));
  return buffer;
}

void RaiseOleSysError(HRESULT code) { throw EOleSysError(OleErrorText(code), code); }

void OleCheck(HRESULT code) {
  if (FAILED(code)) RaiseOleSysError(code);
}

void CheckCallResult(HRESULT code, IUnknown* object, REFIID iid) {
  if (SUCCEEDED(code)) return;
  const ComPtr<ISupportErrorInfo> support = ComPtr<IUnknown>(object).Query<ISupportErrorInfo>();
  ComPtr<IErrorInfo> info;
  if (support && support->InterfaceSupportsErrorInfo(iid) == S_OK &&
      GetErrorInfo(0, info.Put()) == S_OK && info) {
    BStr description, source;
    if (FAILED(info->GetDescription(description.Put()))) description.Reset();
    if (FAILED(info->GetSource(source.Put()))) source.Reset();
    std::string message = TrimTrailingPunctuation(Utf16ToUtf8(description.View()));
    if (message.empty()) message = OleErrorText(code);
    throw EOleException(std::move(message), code, Utf16ToUtf8(source.View()));
  }
  RaiseOleSysError(code);
}

}  // namespace tvx
