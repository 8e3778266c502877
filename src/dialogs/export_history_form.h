// The export history view: lists the rows of the export options dialog's history record
// set, one row per past export, and shares that record set's current row.
#pragma once

#include "db/data_set.h"
#include "db/data_source.h"
#include "ui/controls/bevel.h"
#include "ui/controls/button.h"
#include "ui/controls/panel.h"
#include "ui/core/form.h"
#include "ui/data/db_grid.h"

namespace tvx {

// The names of this class's components (Panel1, Bevel1, btnOK, DataSource, DBGrid1) and its
// F-prefixed members are the form's own names: its stored description, its published
// properties and its handlers are matched by them, so they stay as they are and are not to be
// tidied into other names. Building the dialogs checks that the description, the members below
// and the TVX_FIELD lines name the same controls (cmake/CheckPublishedNames.cmake).
class TExportHistoryForm : public TForm {
  TVX_DECLARE_CLASS(TExportHistoryForm, TForm)

  explicit TExportHistoryForm(TComponent* owner);

  // Shows the rows of data_set (a reference: its owner keeps it alive while the view
  // exists), starting at its current row.
  void SetDataSet(TDataSet* data_set);
  TDataSet* HistoryDataSet() const { return FHistoryDataSet; }

  // The components of the stored description.
  TPanel* Panel1 = nullptr;
  TBevel* Bevel1 = nullptr;
  TButton* btnOK = nullptr;
  TDataSource* DataSource = nullptr;
  TDBGrid* DBGrid1 = nullptr;

 protected:
  ~TExportHistoryForm() override;

 private:
  TDataSet* FHistoryDataSet = nullptr;
};

}  // namespace tvx
