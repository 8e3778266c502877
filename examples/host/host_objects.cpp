#include "host/host_objects.h"

#include <exception>

#include "com/ole_variant.h"
#include "host/host_log.h"
#include "host/host_results.h"
#include "rtl/exceptions.h"

namespace tvx::host {

HostDirectory::HostDirectory(tavolex::Ref<RemoteConnection> connection, bool offered)
    : HostObject(offered), connection_(std::move(connection)) {}

HRESULT HostDirectory::GetRemoteServer(tavolex::IRemoteConnection** connection) {
  // With a reference for the module, which releases it when its dialog is freed.
  return connection_.CopyTo(connection);
}

HostMainForm::HostMainForm(tavolex::Ref<IUnknown> directory, bool offered)
    : HostObject(offered), directory_(std::move(directory)) {}

HRESULT HostMainForm::GetDirectory(IUnknown** directory) {
  if (directory == nullptr) return E_POINTER;
  *directory = tavolex::Ref<IUnknown>(directory_).Detach();
  return S_OK;
}

HostApplication::HostApplication(ApplicationState& state, tavolex::Ref<IUnknown> main_form)
    : state_(state), main_form_(std::move(main_form)) {}

HRESULT HostApplication::GetHandle(tavolex::WindowHandleValue* window) {
  if (window == nullptr) return E_POINTER;
  *window = reinterpret_cast<tavolex::WindowHandleValue>(state_.window);
  return S_OK;
}

HRESULT HostApplication::GetTitle(BSTR* title) {
  if (title == nullptr) return E_POINTER;
  *title = SysAllocStringLen(state_.title.data(), static_cast<UINT>(state_.title.size()));
  return *title != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT HostApplication::GetMainForm(IUnknown** form) {
  if (form == nullptr) return E_POINTER;
  *form = tavolex::Ref<IUnknown>(main_form_).Detach();
  return S_OK;
}

HRESULT HostApplication::GetTerminated(VARIANT_BOOL* terminated) {
  if (terminated == nullptr) return E_POINTER;
  *terminated = state_.terminated ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT HostApplication::HandleException(BSTR class_name, BSTR message, VARIANT_BOOL* handled) {
  if (handled == nullptr) return E_POINTER;
  const auto text = [](BSTR value) {
    return value == nullptr
               ? std::string()
               : tavolex::ToUtf8({reinterpret_cast<const char16_t*>(value), SysStringLen(value)});
  };
  const std::string name = text(class_name);
  const std::string description = text(message);
  LogLine("exception from a module: " + name + ": " + description);
  WriteResult({{"event", "exception"}, {"class", name}, {"message", description}});
  bool dealt_with = false;
  if (state_.on_exception) {
    try {
      dealt_with = state_.on_exception(name, description);
    } catch (...) {
      dealt_with = false;
    }
  }
  *handled = dealt_with ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT HostApplication::HandleMessage() {
  MSG msg;
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == -1) return HRESULT_FROM_WIN32(GetLastError());
  if (got == 0) {
    state_.terminated = true;
    state_.exit_code = static_cast<int>(msg.wParam);
    return S_OK;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return S_OK;
}

}  // namespace tvx::host
