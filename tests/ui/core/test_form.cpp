#include "test_form.h"

#include "classes/class_builder.h"

extern const char kTestFormDescription[];

namespace tvx::test {

std::function<void(TTestForm&)> TTestForm::on_create;
int TTestForm::destroyed = 0;

TVX_IMPLEMENT_CLASS(TTestForm) {
  TVX_FIELD(rbAll);
  TVX_FIELD(rbChanges);
  TVX_FIELD(Panel2);
  TVX_FIELD(lblTitle);
  TVX_FIELD(lblValue);
  TVX_FIELD(GroupBox1);
  TVX_FIELD(btnFrom);
  TVX_FIELD(btnTo);
  TVX_FIELD(btnHistory);
  TVX_FIELD(Panel1);
  TVX_FIELD(Bevel1);
  TVX_FIELD(btnOK);
  TVX_FIELD(btnCancel);
  TVX_HANDLER(FormCreate);
  TVX_HANDLER(rbAllClick);
  TVX_HANDLER(rbChangesClick);
  TVX_HANDLER(btnOKClick);
  TVX_HANDLER(btnHistoryClick);
  c.Description(kTestFormDescription);
}

void TTestForm::FormCreate(TObject* /*sender*/) {
  ++creates;
  create_saw_controls = btnOK != nullptr && btnOK->Caption() == "OK" && !Loading();
  if (on_create) on_create(*this);
}

void TTestForm::rbAllClick(TObject* /*sender*/) { ++all_clicks; }

void TTestForm::rbChangesClick(TObject* /*sender*/) { ++changes_clicks; }

void TTestForm::btnOKClick(TObject* /*sender*/) {
  if (on_ok) on_ok(*this);
}

void TTestForm::btnHistoryClick(TObject* /*sender*/) {
  if (on_history) on_history(*this);
}

}  // namespace tvx::test
