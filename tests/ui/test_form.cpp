#include "test_form.h"

#include "classes/class_builder.h"

extern const char kTestFormDescription[];

namespace tvx::testing {

std::function<void(TTestForm&)> TTestForm::on_create;
int TTestForm::destroyed = 0;

TVX_IMPLEMENT_CLASS(TTestForm) {
  c.Field("rbAll", &TTestForm::rbAll);
  c.Field("rbChanges", &TTestForm::rbChanges);
  c.Field("Panel2", &TTestForm::Panel2);
  c.Field("lblTitle", &TTestForm::lblTitle);
  c.Field("lblValue", &TTestForm::lblValue);
  c.Field("GroupBox1", &TTestForm::GroupBox1);
  c.Field("btnFrom", &TTestForm::btnFrom);
  c.Field("btnTo", &TTestForm::btnTo);
  c.Field("btnHistory", &TTestForm::btnHistory);
  c.Field("Panel1", &TTestForm::Panel1);
  c.Field("Bevel1", &TTestForm::Bevel1);
  c.Field("btnOK", &TTestForm::btnOK);
  c.Field("btnCancel", &TTestForm::btnCancel);
  c.Handler("FormCreate", &TTestForm::FormCreate);
  c.Handler("rbAllClick", &TTestForm::rbAllClick);
  c.Handler("rbChangesClick", &TTestForm::rbChangesClick);
  c.Handler("btnOKClick", &TTestForm::btnOKClick);
  c.Handler("btnHistoryClick", &TTestForm::btnHistoryClick);
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

}  // namespace tvx::testing
