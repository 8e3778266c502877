// Message boxes: modal, owned by the application's window, with a text, an icon and a title
// by kind, and a row of buttons; the result is the modal result of the button chosen.
#pragma once

#include <string>

#include "ui/core/backend.h"

namespace tvx {

// "Warning", "Error", "Information" or "Confirm".
std::string MessageTitle(TMsgDlgType kind);

// The caption of a box's button: "&Yes", "&No", "OK", "Cancel" (the '&' marks the key that
// presses it).
std::string ButtonCaption(TMsgDlgBtn button);

// A box with the title of its kind.
TModalResult MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons);
// A box with a title of the caller's choice.
TModalResult ShowMessageBox(const std::string& text, const std::string& title, TMsgDlgType kind,
                            TMsgDlgButtons buttons);

}  // namespace tvx
