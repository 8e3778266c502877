// A form built from a stored description, with the kinds of controls, nesting and handlers
// that the module's dialogs use. Its handlers count their calls and run optional test hooks.
#pragma once

#include <functional>

#include "ui/controls/bevel.h"
#include "ui/controls/button.h"
#include "ui/controls/group_box.h"
#include "ui/controls/label.h"
#include "ui/controls/panel.h"
#include "ui/controls/radio_button.h"
#include "ui/core/form.h"

namespace tvx::test {

class TTestForm : public TForm {
  TVX_DECLARE_CLASS(TTestForm, TForm)

  explicit TTestForm(TComponent* owner) : TForm(owner) {}

  TRadioButton* rbAll = nullptr;
  TRadioButton* rbChanges = nullptr;
  TPanel* Panel2 = nullptr;
  TLabel* lblTitle = nullptr;
  TLabel* lblValue = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TButton* btnFrom = nullptr;
  TButton* btnTo = nullptr;
  TButton* btnHistory = nullptr;
  TPanel* Panel1 = nullptr;
  TBevel* Bevel1 = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

  int creates = 0;
  int all_clicks = 0;
  int changes_clicks = 0;
  // What the OnCreate handler saw of the loaded form.
  bool create_saw_controls = false;

  // Hooks that tests set for the button handlers.
  std::function<void(TTestForm&)> on_ok;
  std::function<void(TTestForm&)> on_history;
  // Set on the class, so that OnCreate can fail for every form created.
  static std::function<void(TTestForm&)> on_create;
  static int destroyed;

  void FormCreate(TObject* sender);
  void rbAllClick(TObject* sender);
  void rbChangesClick(TObject* sender);
  void btnOKClick(TObject* sender);
  void btnHistoryClick(TObject* sender);

 protected:
  ~TTestForm() override { ++destroyed; }
};

}  // namespace tvx::test
