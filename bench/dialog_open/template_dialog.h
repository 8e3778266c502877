// The yardstick for opening the export dialog: a plain Win32 dialog with the same 16 controls
// in the same places (radio buttons, panels, labels, a button, a group box, two date pickers,
// a bevel and two buttons), created from an in-memory dialog template.
#pragma once

#include <windows.h>

#include <vector>

namespace tvx::bench {

// The template, in the DLGTEMPLATE layout that DialogBoxIndirectParamW takes (DWORD-aligned).
std::vector<WORD> ExportDialogTemplate();

}  // namespace tvx::bench
