#include "dialogs/export_options_dialog.h"

#include "classes/class_builder.h"
#include "dialogs/export_history_form.h"
#include "rtl/date_format.h"
#include "rtl/exceptions.h"
#include "server_client/export_calls.h"
#include "ui/core/message_dialogs.h"

extern const char kExportOptionsDialogDescription[];

namespace tvx {

TVX_IMPLEMENT_CLASS(TExport1CConfigDlg) {
  c.Uses<TRadioButton, TPanel, TLabel, TGroupBox, TJvDateEdit, TButton, TBevel, TClientDataSet,
         TIntegerField, TDateTimeField>();
  TVX_HANDLER(FormCreate);
  TVX_HANDLER(eExportAllClick);
  TVX_HANDLER(eExportChangesClick);
  TVX_HANDLER(btnOKClick);
  TVX_HANDLER(btnShowHistoryClick);
  TVX_FIELD(eExportAll);
  TVX_FIELD(eExportChanges);
  TVX_FIELD(Panel2);
  TVX_FIELD(Label1);
  TVX_FIELD(ePreviousExport);
  TVX_FIELD(eExportHints);
  TVX_FIELD(GroupBox1);
  TVX_FIELD(Label3);
  TVX_FIELD(eExportFrom);
  TVX_FIELD(Label4);
  TVX_FIELD(eExportTo);
  TVX_FIELD(btnShowHistory);
  TVX_FIELD(Panel1);
  TVX_FIELD(Bevel1);
  TVX_FIELD(btnOK);
  TVX_FIELD(btnCancel);
  TVX_FIELD(cdsExportHistory);
  TVX_FIELD(cdsExportHistoryID);
  TVX_FIELD(cdsExportHistoryEXPORT_DATE);
  TVX_FIELD(cdsExportHistoryEXPORT_FROM);
  TVX_FIELD(cdsExportHistoryEXPORT_TO);
  c.Description(kExportOptionsDialogDescription);
}

TExport1CConfigDlg::TExport1CConfigDlg(TComponent* owner) : TForm(owner) {}

TExport1CConfigDlg::~TExport1CConfigDlg() = default;

void TExport1CConfigDlg::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  // The host keeps the connection alive while the dialog exists; should it go first all the
  // same, the dialog must not call through a freed object.
  if (operation == opRemove && component == FConnection) FConnection = nullptr;
}

void TExport1CConfigDlg::SetConnection(TCustomRemoteServer* connection) {
  if (FConnection != nullptr) FConnection->RemoveFreeNotification(this);
  FConnection = connection;
  if (FConnection != nullptr) FConnection->FreeNotification(this);
  cdsExportHistory->SetRemoteServer(connection);
  cdsExportHistory->Open();
  UpdateSummary();
}

void TExport1CConfigDlg::UpdateSummary() {
  cdsExportHistory->Last();
  if (cdsExportHistory->IsEmpty()) {
    ePreviousExport->SetCaption("ОТСУТСТВУЕТ");
    eExportHints->SetVisible(false);
    int year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    eExportFrom->SetDate(EncodeDate(year, month, 1));
    btnShowHistory->SetEnabled(false);
    return;
  }
  ePreviousExport->SetCaption(DateToStr(cdsExportHistoryEXPORT_DATE->AsDateTime()));
  eExportHints->SetCaption("Экспортировались данные с " +
                           DateToStr(cdsExportHistoryEXPORT_FROM->AsDateTime()) + " по " +
                           DateToStr(cdsExportHistoryEXPORT_TO->AsDateTime()));
  eExportFrom->SetDate(cdsExportHistoryEXPORT_TO->AsDateTime());
}

void TExport1CConfigDlg::FormCreate(TObject* /*Sender*/) {
  eExportTo->SetDate(Date());
  KeepPreviousExportClearOfItsLabel();
}

void TExport1CConfigDlg::KeepPreviousExportClearOfItsLabel() {
  const int32_t label_end = Label1->Left() + Label1->Width();
  if (ePreviousExport->Left() >= label_end) return;
  constexpr int32_t kDesignGap = 6;  // between the two at 96 pixels per inch
  ePreviousExport->SetLeft(label_end + MulDiv(kDesignGap, PixelsPerInch(), 96));
}

void TExport1CConfigDlg::eExportAllClick(TObject* /*Sender*/) {
  EnableChildControls(Panel2, false);
}

void TExport1CConfigDlg::eExportChangesClick(TObject* /*Sender*/) {
  EnableChildControls(Panel2, true);
}

OleVariant TExport1CConfigDlg::ServerObject() {
  if (FConnection == nullptr)
    throw EInvalidOperation("Нет связи с сервером приложений: соединение закрыто");
  return FConnection->AppServer();
}

void TExport1CConfigDlg::RejectDate(const char* message, TJvDateEdit* field) {
  MessageDlg(message, TMsgDlgType::mtError, {mbOK});
  field->SetFocus();
  Abort();
}

void TExport1CConfigDlg::btnOKClick(TObject* /*Sender*/) {
  if (eExportAll->Checked()) {
    CallExportAllData(*ServerObject());
  } else {
    if (eExportFrom->Date() == 0) RejectDate("Введите дату С", eExportFrom);
    if (eExportTo->Date() == 0) RejectDate("Введите дату ПО", eExportTo);
    if (eExportTo->Date() < eExportFrom->Date()) {
      RejectDate("Дата С не может быть больше даты ПО", eExportFrom);
    }
    CallExportData1C(*ServerObject(), eExportFrom->Date(), eExportTo->Date());
  }
  MessageDlg("Экспорт данных завершен!", TMsgDlgType::mtInformation, {mbOK});
  SetModalResult(mrOk);
}

void TExport1CConfigDlg::btnShowHistoryClick(TObject* /*Sender*/) {
  TExportHistoryForm* view = Create<TExportHistoryForm>(nullptr);
  try {
    view->SetDataSet(cdsExportHistory);
    view->ShowModal();
  } catch (...) {
    view->Release();
    throw;
  }
  view->Release();
}

void EnableChildControls(TPanel* panel, bool enabled) {
  for (int32_t i = 0; i < panel->ControlCount(); ++i) panel->Controls(i)->SetEnabled(enabled);
}

}  // namespace tvx
