#include "ui/core/message_dialogs.h"

#include "ui/core/application.h"

namespace tvx {

std::string MessageTitle(TMsgDlgType kind) {
  switch (kind) {
    case TMsgDlgType::mtWarning:
      return "Warning";
    case TMsgDlgType::mtError:
      return "Error";
    case TMsgDlgType::mtInformation:
      return "Information";
    case TMsgDlgType::mtConfirmation:
      return "Confirm";
  }
  return {};
}

std::string ButtonCaption(TMsgDlgBtn button) {
  switch (button) {
    case mbYes:
      return "&Yes";
    case mbNo:
      return "&No";
    case mbOK:
      return "OK";
    case mbCancel:
      return "Cancel";
  }
  return {};
}

TModalResult MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons) {
  return ShowMessageBox(text, MessageTitle(kind), kind, buttons);
}

TModalResult ShowMessageBox(const std::string& text, const std::string& title, TMsgDlgType kind,
                            TMsgDlgButtons buttons) {
  MessageBoxRequest request;
  request.kind = kind;
  request.title = title;
  request.text = text;
  request.buttons = buttons.Empty() ? TMsgDlgButtons{mbOK} : buttons;
  request.owner = Application()->Handle();
  return UiBackend().ShowMessageBox(request);
}

}  // namespace tvx
