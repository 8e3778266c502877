// The scripted operator's script: one step a line, a verb and its argument; blank lines and
// lines starting with '#' are skipped. docs/host-example.md lists the verbs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tvx::host {

enum class Verb {
  kCommand,  // command CAPTION: run a module's command, as its menu item does
  kWait,     // wait TITLE: a window of the host with that title, shown and enabled
  kWaitBox,  // box TITLE: a message box with that title; its text is logged
  kGone,     // gone TITLE: no window with that title is left
  kTexts,    // texts: log the texts of the current window's child windows
  kShot,     // shot NAME: a screenshot NAME.png in the shots folder
  kClick,    // click CAPTION: press the button with that caption in the current window
  kOk,       // ok: press the current window's OK button (a message box's) and wait till it goes
  kKey,      // key NAME: a key to the focused window (Tab, Enter, Escape, F4, Alt+Down, ...)
  kType,     // type TEXT: characters to the focused window
  kClose,    // close: the current window's close box
  kStatus,   // status: read the server anew and log the main window's status bar
  kQuit,     // quit: close the main window
  kTimeout,  // timeout SECONDS: how long a wait may last (default 30)
  kPause,    // pause MS: do nothing for a while (for someone watching)
  kSay,      // say TEXT: log a line
};

struct ScriptStep {
  int line = 0;
  Verb verb = Verb::kSay;
  std::string argument;  // UTF-8, trimmed
  std::string text;      // the line as written, for the log
};

// Raises std::invalid_argument naming the line of an unknown verb or a missing argument.
std::vector<ScriptStep> ParseScript(std::string_view script);

}  // namespace tvx::host
