// The options of a data grid. A stored description may name any of them; the grid acts on
// dgTitles, dgIndicator, dgColLines, dgRowLines, dgTabs, dgConfirmDelete and
// dgAlwaysShowSelection. It never edits or inserts rows, so dgEditing, dgAlwaysShowEditor
// and dgCancelOnExit change nothing; columns cannot be resized or moved by the user, rows
// are selected one at a time and a single cell is highlighted whatever the other options say.
#pragma once

#include "classes/class_builder.h"
#include "classes/set.h"

namespace tvx {

enum TDBGridOption {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit,
  dgMultiSelect,
  dgTitleClick,
  dgTitleHotTrack,
};
using TDBGridOptions = TSet<TDBGridOption>;

inline const TEnumNames<TDBGridOption>& DBGridOptionNames() {
  static const TEnumNames<TDBGridOption> names = {
      {"dgEditing", dgEditing},
      {"dgAlwaysShowEditor", dgAlwaysShowEditor},
      {"dgTitles", dgTitles},
      {"dgIndicator", dgIndicator},
      {"dgColumnResize", dgColumnResize},
      {"dgColLines", dgColLines},
      {"dgRowLines", dgRowLines},
      {"dgTabs", dgTabs},
      {"dgRowSelect", dgRowSelect},
      {"dgAlwaysShowSelection", dgAlwaysShowSelection},
      {"dgConfirmDelete", dgConfirmDelete},
      {"dgCancelOnExit", dgCancelOnExit},
      {"dgMultiSelect", dgMultiSelect},
      {"dgTitleClick", dgTitleClick},
      {"dgTitleHotTrack", dgTitleHotTrack},
  };
  return names;
}

// What a new grid starts with.
inline constexpr TDBGridOptions kDefaultDBGridOptions{
    dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
    dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};

}  // namespace tvx
