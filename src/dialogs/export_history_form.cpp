#include "dialogs/export_history_form.h"

#include "classes/class_builder.h"

extern const char kExportHistoryFormDescription[];

namespace tvx {

TVX_IMPLEMENT_CLASS(TExportHistoryForm) {
  c.Uses<TPanel, TBevel, TButton, TDataSource, TDBGrid>();
  c.Field("Panel1", &TExportHistoryForm::Panel1)
      .Field("Bevel1", &TExportHistoryForm::Bevel1)
      .Field("btnOK", &TExportHistoryForm::btnOK)
      .Field("DataSource", &TExportHistoryForm::DataSource)
      .Field("DBGrid1", &TExportHistoryForm::DBGrid1);
  c.Description(kExportHistoryFormDescription);
}

TExportHistoryForm::TExportHistoryForm(TComponent* owner) : TForm(owner) {}

TExportHistoryForm::~TExportHistoryForm() = default;

void TExportHistoryForm::SetDataSet(TDataSet* data_set) {
  FHistoryDataSet = data_set;
  DataSource->SetDataSet(data_set);
}

}  // namespace tvx
