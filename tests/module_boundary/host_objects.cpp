#include "host_objects.h"

#include <exception>

#include "com/bstr.h"
#include "com/ole_variant.h"
#include "rtl/text.h"

namespace tvx::test {

HRESULT TestHostApplication::GetHandle(tavolex::WindowHandleValue* window) {
  Record("GetHandle");
  *window = kWindow;
  return S_OK;
}

HRESULT TestHostApplication::GetTitle(BSTR* title) {
  Record("GetTitle");
  *title = BStr(kTitle).Detach();
  return S_OK;
}

HRESULT TestHostApplication::GetMainForm(IUnknown** form) {
  Record("GetMainForm");
  *form = ComPtr<IUnknown>(main_form_).Detach();
  return S_OK;
}

HRESULT TestHostApplication::GetTerminated(VARIANT_BOOL* terminated) {
  Record("GetTerminated");
  *terminated = VARIANT_FALSE;
  return S_OK;
}

HRESULT TestHostApplication::HandleException(BSTR class_name, BSTR message, VARIANT_BOOL* handled) {
  Record("HandleException");
  exceptions_.push_back(Utf16ToUtf8(BStrView(class_name)) + ": " + Utf16ToUtf8(BStrView(message)));
  *handled = handles_exceptions_ ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT TestHostApplication::HandleMessage() {
  Record("HandleMessage");
  return S_OK;
}

HRESULT TestMainForm::GetDirectory(IUnknown** directory) {
  Record("GetDirectory");
  *directory = ComPtr<IUnknown>(directory_).Detach();
  return S_OK;
}

HRESULT TestConnection::GetAppServer(VARIANT* app_server) {
  Record("GetAppServer");
  *app_server = OleVariant::Dispatch(server_->Dispatch()).Detach();
  return S_OK;
}

HRESULT TestDirectory::GetRemoteServer(tavolex::IRemoteConnection** connection) {
  Record("GetRemoteServer");
  *connection = ComPtr<tavolex::IRemoteConnection>(connection_).Detach();
  return S_OK;
}

HRESULT ModalStep::Run(BSTR form) {
  // No exception may cross into the module: a failing step reports itself as error info.
  try {
    action_(Utf16ToUtf8(BStrView(form)));
    return S_OK;
  } catch (const std::exception& error) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
      BStr description(Utf8ToUtf16(error.what()));
      create->SetDescription(description.Get());
      ComPtr<IErrorInfo> info;
      if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, info.PutVoid()))) {
        SetErrorInfo(0, info.Get());
      }
    }
    return E_FAIL;
  }
}

}  // namespace tvx::test
