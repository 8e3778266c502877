#include "dialogs/export_history_form.h"

#include "classes/class_builder.h"

extern const char kExportHistoryFormDescription[];

namespace tvx {

TVX_IMPLEMENT_CLASS(TExportHistoryForm) {
  c.Uses<TPanel, TBevel, TButton, TDataSource, TDBGrid>();
  TVX_FIELD(Panel1);
  TVX_FIELD(Bevel1);
  TVX_FIELD(btnOK);
  TVX_FIELD(DataSource);
  TVX_FIELD(DBGrid1);
  c.Description(kExportHistoryFormDescription);
}

TExportHistoryForm::TExportHistoryForm(TComponent* owner) : TForm(owner) {}

TExportHistoryForm::~TExportHistoryForm() = default;

void TExportHistoryForm::SetDataSet(TDataSet* data_set) {
  FHistoryDataSet = data_set;
  DataSource->SetDataSet(data_set);
}

}  // namespace tvx
