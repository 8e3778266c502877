// A form built in code for the tests of the modal loop and of the windows' state: two radio
// buttons, a panel holding a label and a button, and two buttons below, one that runs a hook
// of the test and one that cancels.
#pragma once

#include <functional>

#include "ui/controls/button.h"
#include "ui/controls/label.h"
#include "ui/controls/panel.h"
#include "ui/controls/radio_button.h"
#include "ui/core/form.h"

namespace tvx::test {

class TProbeForm : public TForm {
 public:
  explicit TProbeForm(TComponent* owner);

  TRadioButton* first = nullptr;
  TRadioButton* second = nullptr;
  TPanel* panel = nullptr;
  TLabel* label = nullptr;
  TButton* inner = nullptr;
  TButton* run = nullptr;
  TButton* cancel = nullptr;

  // Runs when `run` is clicked.
  std::function<void(TProbeForm&)> on_run;
  int label_clicks = 0;
  static int destroyed;

 protected:
  ~TProbeForm() override { ++destroyed; }

 private:
  template <class T>
  T* Add(TWinControl* parent, const char* name, TBounds bounds, const char* caption);
};

}  // namespace tvx::test
