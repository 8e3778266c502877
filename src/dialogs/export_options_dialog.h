// The export options dialog: the operator picks between exporting all data and exporting
// the changes over a range of dates, sees when the previous export ran, may list the
// history of exports, and confirms; the dialog then has the application server export.
#pragma once

#include "com/ole_variant.h"
#include "db/client_data_set.h"
#include "db/fields.h"
#include "server_client/remote_server.h"
#include "ui/controls/bevel.h"
#include "ui/controls/button.h"
#include "ui/controls/date_edit.h"
#include "ui/controls/group_box.h"
#include "ui/controls/label.h"
#include "ui/controls/panel.h"
#include "ui/controls/radio_button.h"
#include "ui/core/form.h"

namespace tvx {

// The names of this class's components and handlers (Label1, Panel2, GroupBox1, btnOKClick,
// ...) and its F-prefixed members are the form's own names: its stored description, its
// published properties and its handlers are matched by them, so they stay as they are and are
// not to be tidied into other names. Building the dialogs checks that the description, the
// members below and the TVX_FIELD and TVX_HANDLER lines name the same controls and handlers
// (cmake/CheckPublishedNames.cmake).
class TExport1CConfigDlg : public TForm {
  TVX_DECLARE_CLASS(TExport1CConfigDlg, TForm)

  // Loads the controls and the history record set from the stored description, then
  // FormCreate sets the To date to today and keeps the previous export's date clear of its
  // label.
  explicit TExport1CConfigDlg(TComponent* owner);

  // Takes the host's connection (a reference: the host keeps it alive), fetches the whole
  // history through it and fills in the summary of the previous export. An error while
  // fetching passes to the caller.
  void SetConnection(TCustomRemoteServer* connection);
  // The summary of the latest export and the proposed From date.
  void UpdateSummary();

  // Handlers bound by the stored description.
  void FormCreate(TObject* Sender);
  void eExportAllClick(TObject* Sender);
  void eExportChangesClick(TObject* Sender);
  void btnOKClick(TObject* Sender);
  void btnShowHistoryClick(TObject* Sender);

  // The components of the stored description.
  TRadioButton* eExportAll = nullptr;
  TRadioButton* eExportChanges = nullptr;
  TPanel* Panel2 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* ePreviousExport = nullptr;
  TLabel* eExportHints = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TLabel* Label3 = nullptr;
  TJvDateEdit* eExportFrom = nullptr;
  TLabel* Label4 = nullptr;
  TJvDateEdit* eExportTo = nullptr;
  TButton* btnShowHistory = nullptr;
  TPanel* Panel1 = nullptr;
  TBevel* Bevel1 = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;
  TClientDataSet* cdsExportHistory = nullptr;
  TIntegerField* cdsExportHistoryID = nullptr;
  TDateTimeField* cdsExportHistoryEXPORT_DATE = nullptr;
  TDateTimeField* cdsExportHistoryEXPORT_FROM = nullptr;
  TDateTimeField* cdsExportHistoryEXPORT_TO = nullptr;

  TCustomRemoteServer* Connection() const { return FConnection; }

 protected:
  ~TExport1CConfigDlg() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // Shows an error box with the message, moves the focus into the field once the box is
  // closed, and stops the running handler with a silent abort.
  // The server's automation object, read anew from the connection for each call.
  OleVariant ServerObject();
  [[noreturn]] void RejectDate(const char* message, TJvDateEdit* field);
  // Label1 grows with its text, and text measured at the screen's resolution may be wider than
  // the design's scaled: a date that it would run into moves right, the design's gap after it.
  void KeepPreviousExportClearOfItsLabel();

  TCustomRemoteServer* FConnection = nullptr;
};

// Enables or disables each control placed directly on the panel, in the panel's order of
// children; the controls inside those children keep their own state.
void EnableChildControls(TPanel* panel, bool enabled);

}  // namespace tvx
