// The export options dialog as its stored description lays it out at the design resolution of
// 96 pixels per inch: each control's class, parent, caption, place and Tab order. The control
// layer's tests and the tests of its windows check the dialog against this one table (header
// only: the support library stays below the control layer).
#pragma once

#include <cstdint>

#include "ui/core/ui_types.h"

namespace tvx::test {

struct DesignedControl {
  const char* name;
  const char* class_name;
  const char* parent;
  // As shown over a history whose last export, of 10 March 2024, took 1 February to 1 March.
  const char* caption;
  TBounds bounds;     // labels size themselves to their text: width and height 0
  int32_t tab_order;  // -1: not a windowed control
};

inline constexpr DesignedControl kOptionsDialogControls[] = {
    {"eExportAll",
     "TRadioButton",
     "Export1CConfigDlg",
     "Экспортировать все данные",
     {8, 8, 300, 17},
     0},
    {"eExportChanges",
     "TRadioButton",
     "Export1CConfigDlg",
     "Экспортировать только изменения",
     {8, 32, 300, 17},
     1},
    {"Panel2", "TPanel", "Export1CConfigDlg", " ", {8, 56, 321, 145}, 2},
    {"Label1", "TLabel", "Panel2", "Дата предыдущего экспорта:", {16, 8, 0, 0}, -1},
    {"ePreviousExport", "TLabel", "Panel2", "10.03.2024", {176, 8, 0, 0}, -1},
    {"eExportHints",
     "TLabel",
     "Panel2",
     "Экспортировались данные с 01.02.2024 по 01.03.2024",
     {16, 27, 0, 0},
     -1},
    {"GroupBox1", "TGroupBox", "Panel2", "Экспортировать данные", {16, 48, 297, 57}, 0},
    {"Label3", "TLabel", "GroupBox1", "с: ", {24, 24, 0, 0}, -1},
    {"eExportFrom", "TJvDateEdit", "GroupBox1", "", {38, 21, 99, 21}, 1},
    {"Label4", "TLabel", "GroupBox1", "по:", {152, 24, 0, 0}, -1},
    {"eExportTo", "TJvDateEdit", "GroupBox1", "", {176, 20, 105, 21}, 0},
    {"btnShowHistory", "TButton", "Panel2", "Показать историю экспорта", {64, 112, 187, 25}, 1},
    {"Panel1", "TPanel", "Export1CConfigDlg", "", {0, 212, 340, 41}, 3},
    {"Bevel1", "TBevel", "Panel1", "", {0, 0, 340, 4}, -1},
    {"btnOK", "TButton", "Panel1", "ОК", {179, 8, 75, 25}, 0},
    {"btnCancel", "TButton", "Panel1", "Отказаться", {259, 8, 75, 25}, 1},
};

}  // namespace tvx::test
