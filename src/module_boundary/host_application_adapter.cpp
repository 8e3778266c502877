#include "module_boundary/host_application_adapter.h"

#include "classes/class_builder.h"
#include "com/bstr.h"
#include "module_boundary/user_interface.h"
#include "rtl/exceptions.h"
#include "rtl/text.h"
#include "server_client/ole_errors.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(THostApplicationAdapter) {}

THostApplicationAdapter::THostApplicationAdapter(TComponent* owner, IHostApplication* host)
    : THostApplication(owner), host_(host) {}

THostApplicationAdapter::~THostApplicationAdapter() = default;

WindowHandle THostApplicationAdapter::Handle() const {
  tavolex::WindowHandleValue window = 0;
  if (FAILED(host_->GetHandle(&window))) return 0;
  return static_cast<WindowHandle>(window);
}

std::string THostApplicationAdapter::Title() const {
  BStr title;
  if (FAILED(host_->GetTitle(title.Put()))) return {};
  return Utf16ToUtf8(title.View());
}

bool THostApplicationAdapter::Terminated() const {
  VARIANT_BOOL terminated = VARIANT_FALSE;
  if (FAILED(host_->GetTerminated(&terminated))) return false;
  return terminated != VARIANT_FALSE;
}

ComPtr<IUnknown> THostApplicationAdapter::MainFormObject() const {
  ComPtr<IUnknown> form;
  CheckCallResult(host_->GetMainForm(form.Put()), host_.Get(), tavolex::IidOf<IHostApplication>());
  return form;
}

void THostApplicationAdapter::HandleMessage() { HandleMessageThroughHost(*host_); }

void THostApplicationAdapter::HandleException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
  if (OnException().Assigned()) {
    TApplication::HandleException(error);
    return;
  }
  const auto* own = dynamic_cast<const Exception*>(&error);
  VARIANT_BOOL handled = VARIANT_FALSE;
  const HRESULT status = [&] {
    try {
      BStr class_name(Utf8ToUtf16(own != nullptr ? own->ClassName() : "Exception"));
      BStr message(Utf8ToUtf16(ExceptionMessage(error)));
      return host_->HandleException(class_name.Get(), message.Get(), &handled);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }();
  if (SUCCEEDED(status) && handled != VARIANT_FALSE) return;
  ShowException(error);
}

}  // namespace tvx
