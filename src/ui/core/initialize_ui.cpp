#include "ui/core/initialize_ui.h"

#include "classes/application_hooks.h"
#include "ui/controls/bevel.h"
#include "ui/controls/button.h"
#include "ui/controls/group_box.h"
#include "ui/controls/label.h"
#include "ui/controls/panel.h"
#include "ui/controls/radio_button.h"
#include "ui/core/application.h"
#include "ui/core/form.h"

namespace tvx {

void InitializeUi() {
  static const bool done = [] {
    TFont::StaticClass();
    TApplication::StaticClass();
    TForm::StaticClass();
    TPanel::StaticClass();
    TLabel::StaticClass();
    TButton::StaticClass();
    TRadioButton::StaticClass();
    TGroupBox::StaticClass();
    TBevel::StaticClass();
    SetApplicationHandleException([](TObject* /*sender*/, std::exception_ptr error) {
      Application()->HandleException(error);
    });
    return true;
  }();
  (void)done;
}

}  // namespace tvx
