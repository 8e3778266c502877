// The export options dialog and the export history view as their stored descriptions lay them
// out at the design resolution of 96 pixels per inch: each control's class, parent, caption,
// place and Tab order. The numbers are read from the descriptions themselves
// (src/dialogs/export_options_dialog.json and export_history_form.json, compiled into the
// tests), so that the dialogs' tests, the tests of their windows and the tests of the controls'
// windows that place controls as the dialog does all use the one source the dialogs are built
// from. Nothing here needs the dialogs' classes: the tests of the layers below them use it too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/ui_types.h"

namespace tvx::test {

struct DesignedControl {
  std::string name;
  std::string class_name;
  std::string parent;
  // The description's caption ("" for none), except for the texts the dialog's summary fills
  // in (below).
  std::string caption;
  // As the description gives it; a label sizes itself to its text, so that its width and
  // height hold at design time only.
  TBounds bounds;
  int32_t tab_order;  // -1: none in the description (not a windowed control)
};

// What the summary shows over a history whose last export, of 10 March 2024, took 1 February to
// 1 March (the dialog fixture's kOneExport), in place of the description's placeholder texts.
inline constexpr char kShownPreviousExport[] = "10.03.2024";
inline constexpr char kShownExportHints[] = "Экспортировались данные с 01.02.2024 по 01.03.2024";

// The controls of a description (every component with a place: Left in its properties), in
// the order it lists them, depth first; each one's parent is the component it is listed in.
std::vector<DesignedControl> ControlsOfDescription(std::string_view description);

// The options dialog's controls, with the summary's texts above.
const std::vector<DesignedControl>& OptionsDialogControls();
// The history view's controls.
const std::vector<DesignedControl>& HistoryViewControls();
// One control of the options dialog by its name; raises std::out_of_range for none.
const DesignedControl& OptionsDialogControl(std::string_view name);

}  // namespace tvx::test
