#include "ui/ui_classes.h"

#include "classes/application_hooks.h"
#include "ui/application.h"
#include "ui/bevel.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/group_box.h"
#include "ui/label.h"
#include "ui/panel.h"
#include "ui/radio_button.h"

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
