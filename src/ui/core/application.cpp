#include "ui/core/application.h"

#include <memory>

#include "classes/class_builder.h"
#include "rtl/exceptions.h"
#include "ui/core/backend.h"
#include "ui/core/initialize_ui.h"
#include "ui/core/message_dialogs.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TApplication) {}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() = default;

void TApplication::HandleMessage() { UiBackend().HandleMessage(); }

void TApplication::ProcessMessages() { UiBackend().ProcessMessages(); }

void TApplication::HandleException(std::exception_ptr error) {
  if (error == nullptr) return;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    HandleException(e);
  }
}

void TApplication::HandleException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
  if (!on_exception_.Assigned()) {
    ShowException(error);
    return;
  }
  try {
    on_exception_.Fire(this, error);
  } catch (const EAbort&) {
  } catch (const std::exception& handler_error) {
    // The exception event failed itself: report that failure rather than lose it.
    ShowException(handler_error);
  }
}

void TApplication::ShowException(const std::exception& error) {
  ShowMessageBox(WithFullStop(ExceptionMessage(error)), Title(), TMsgDlgType::mtError,
                 TMsgDlgButtons{mbOK});
}

std::string ExceptionMessage(const std::exception& error) {
  if (const auto* e = dynamic_cast<const Exception*>(&error)) return e->Message();
  return error.what();
}

std::string WithFullStop(std::string message) {
  // The last byte of UTF-8 text decides: a multi-byte character's bytes all sort after ".".
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

namespace {

struct ApplicationReference {
  TOwned<TApplication> own;
  TApplication* current = nullptr;
  ~ApplicationReference() {
    // Unloading frees the module's own object only: a host's object that is still current
    // belongs to the host.
    current = nullptr;
  }
};

ApplicationReference& Reference() {
  static ApplicationReference reference;
  if (reference.own == nullptr) {
    reference.own = CreateOwned<TApplication>(nullptr);
    if (reference.current == nullptr) reference.current = reference.own.get();
    InitializeUi();
  }
  return reference;
}

}  // namespace

TApplication* Application() { return Reference().current; }

TApplication* ModuleApplication() { return Reference().own.get(); }

TApplication* SetApplication(TApplication* application) {
  ApplicationReference& reference = Reference();
  TApplication* previous = reference.current;
  reference.current = application != nullptr ? application : reference.own.get();
  return previous;
}

}  // namespace tvx
