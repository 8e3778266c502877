// The history view's grid as its stored description sets it up: three date columns with their
// titles and widths, the indicator, lines, Tab moving between cells, and a confirmed deletion.
// For the tests that build the grid by hand (header only: the support library stays below the
// control layer).
#pragma once

#include <cstdint>

#include "ui/data/db_grid.h"

namespace tvx::test {

inline void SetUpHistoryColumns(TDBGrid& grid) {
  const char* const titles[] = {"Дата экспорта", "Изменения с", "Изменения по"};
  const char* const fields[] = {"EXPORT_DATE", "EXPORT_FROM", "EXPORT_TO"};
  const int32_t widths[] = {129, 140, 121};
  for (int i = 0; i < 3; ++i) {
    TColumn* column = grid.Columns()->Add();
    column->SetFieldName(fields[i]);
    column->Title()->SetCaption(titles[i]);
    column->SetWidth(widths[i]);
  }
  grid.SetOptions(
      {dgTitles, dgIndicator, dgColLines, dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit});
}

}  // namespace tvx::test
