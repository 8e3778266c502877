#include "ui/data/db_grid.h"

#include <algorithm>
#include <vector>

#include "db/fields.h"
#include "rtl/flag_scope.h"
#include "ui/core/message_dialogs.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TDBGrid) {
  TVX_PROPERTY(DataSource);
  c.Collection("Columns", &TDBGrid::Columns);
  TVX_NAMED_PROPERTY(Options, DBGridOptionNames(), "TDBGridOptions");
  c.Object("TitleFont", &TDBGrid::TitleFont);
  TVX_PROPERTY(ReadOnly);
  TVX_PROPERTY(DefaultRowHeight);
  c.Uses<TDBGridColumns, TColumn, TColumnTitle>();
}

TDBGrid::TDBGrid(TComponent* owner)
    : TWinControl(owner),
      columns_(CreateOwned<TDBGridColumns>(this, [this] { ColumnsChanged(); })),
      title_font_(CreateOwned<TFont>()) {
  InitBounds(TBounds{0, 0, 320, 120});
  SetTabStop(true);
  SetColor(clWindow);
  title_font_->on_change = [this] {
    title_font_follows_ = title_font_following_;
    Scroll();
  };
}

TDBGrid::~TDBGrid() = default;

void TDBGrid::SetDataSource(TDataSource* source) { link_.SetDataSource(source); }

TDataSet* TDBGrid::DataSet() const { return link_.Active() ? link_.DataSet() : nullptr; }

void TDBGrid::SetOptions(TDBGridOptions options) {
  if (options == options_) return;
  options_ = options;
  Scroll();
}

void TDBGrid::SetDefaultRowHeight(int32_t height) {
  height = std::max(0, height);
  if (height == default_row_height_) return;
  default_row_height_ = height;
  Scroll();
}

// Columns.

int32_t TDBGrid::ColumnCount() const {
  if (columns_->Count() > 0) return columns_->Count();
  const TDataSet* data_set = DataSet();
  return data_set != nullptr ? data_set->FieldCount() : 0;
}

std::string TDBGrid::ColumnFieldName(int32_t column) const {
  if (column < 0 || column >= ColumnCount()) return {};
  if (columns_->Count() > 0) return columns_->Items(column)->FieldName();
  return DataSet()->Fields(column)->FieldName();
}

int32_t TDBGrid::ColumnWidth(int32_t column) const {
  if (column < 0 || column >= ColumnCount()) return 0;
  return columns_->Count() > 0 ? columns_->Items(column)->Width() : TColumn::kDefaultWidth;
}

std::string TDBGrid::TitleText(int32_t column) const {
  if (column < 0 || column >= ColumnCount()) return {};
  if (columns_->Count() > 0 && !columns_->Items(column)->Title()->Caption().empty()) {
    return columns_->Items(column)->Title()->Caption();
  }
  return ColumnFieldName(column);
}

std::string TDBGrid::CellText(int32_t rec_no, int32_t column) const {
  const TDataSet* data_set = DataSet();
  if (data_set == nullptr) return {};
  const TField* field = data_set->FindField(ColumnFieldName(column));
  return field != nullptr ? field->DisplayTextAt(rec_no) : std::string();
}

void TDBGrid::ColumnsChanged() {
  selected_index_ = std::clamp(selected_index_, 0, std::max(0, ColumnCount() - 1));
  Scroll();
}

// Rows.

int32_t TDBGrid::RowCount() const {
  const TDataSet* data_set = DataSet();
  return data_set != nullptr ? data_set->RecordCount() : 0;
}

int32_t TDBGrid::Row() const {
  const TDataSet* data_set = DataSet();
  return data_set != nullptr ? data_set->RecNo() : 0;
}

int32_t TDBGrid::VisibleRowCount() const {
  return RowsThatFit(ClientSize().cy - TitlePitch(), RowPitch());
}

int32_t TDBGrid::ShownRowCount() const {
  return std::clamp(RowCount() - top_row_ + 1, 0, VisibleRowCount());
}

void TDBGrid::SetSelectedIndex(int32_t column) {
  column = std::clamp(column, 0, std::max(0, ColumnCount() - 1));
  if (column == selected_index_) return;
  selected_index_ = column;
  Scroll();
}

bool TDBGrid::ShowsHighlight() const {
  return Focused() || options_.Contains(dgAlwaysShowSelection);
}

void TDBGrid::MoveToRow(int32_t rec_no) {
  TDataSet* data_set = DataSet();
  if (data_set == nullptr || data_set->IsEmpty()) return;
  rec_no = std::clamp(rec_no, 1, data_set->RecordCount());
  if (rec_no != data_set->RecNo()) data_set->MoveBy(rec_no - data_set->RecNo());
}

void TDBGrid::LinkActiveChanged() {
  top_row_ = 1;
  left_col_ = 0;
  selected_index_ = std::clamp(selected_index_, 0, std::max(0, ColumnCount() - 1));
  Scroll();
}

void TDBGrid::Scroll() {
  top_row_ = TopRowFor(top_row_, Row(), RowCount(), VisibleRowCount());
  const int32_t count = ColumnCount();
  std::vector<int32_t> pitches(static_cast<std::size_t>(count));
  for (int32_t i = 0; i < count; ++i) pitches[static_cast<std::size_t>(i)] = ColumnPitch(i);
  left_col_ = LeftColumnFor(left_col_, selected_index_, pitches, ClientSize().cx - DataLeft());
  Changed(ControlChange::Content);
}

// Geometry.

int32_t TDBGrid::TextHeight(const TFont& font) const {
  if (HasUiBackend()) return UiBackend().MeasureText("Wg", font).cy;
  return font.PixelHeight() + 2;
}

int32_t TDBGrid::RowHeight() const {
  return default_row_height_ > 0 ? default_row_height_ : TextHeight(*Font()) + 3;
}

int32_t TDBGrid::RowPitch() const { return RowHeight() + (options_.Contains(dgRowLines) ? 1 : 0); }

int32_t TDBGrid::TitlePitch() const {
  if (!options_.Contains(dgTitles)) return 0;
  return std::max(RowHeight(), TextHeight(*title_font_) + 3) +
         (options_.Contains(dgRowLines) ? 1 : 0);
}

TSize TDBGrid::ClientSize() const {
  return TSize{std::max(0, Width() - 2 * kBorderWidth), std::max(0, Height() - 2 * kBorderWidth)};
}

int32_t TDBGrid::ColumnPitch(int32_t column) const {
  return ColumnWidth(column) + (options_.Contains(dgColLines) ? 1 : 0);
}

int32_t TDBGrid::DataLeft() const {
  if (!options_.Contains(dgIndicator)) return 0;
  return indicator_width_ + (options_.Contains(dgColLines) ? 1 : 0);
}

TRect TDBGrid::CellRect(int32_t shown_row, int32_t column) const {
  TRect rect;
  const int32_t line = options_.Contains(dgRowLines) ? 1 : 0;
  if (shown_row < 0) {
    rect.top = 0;
    rect.bottom = TitlePitch() - line;
  } else {
    rect.top = TitlePitch() + shown_row * RowPitch();
    rect.bottom = rect.top + RowHeight();
  }
  if (column < 0) {
    rect.left = 0;
    rect.right = options_.Contains(dgIndicator) ? indicator_width_ : 0;
  } else if (column < left_col_ || column >= ColumnCount()) {
    rect.left = rect.right = DataLeft();
  } else {
    rect.left = DataLeft();
    for (int32_t i = left_col_; i < column; ++i) rect.left += ColumnPitch(i);
    rect.right = rect.left + ColumnWidth(column);
  }
  if (rect.right == rect.left) rect.bottom = rect.top;
  return rect;
}

TGridCell TDBGrid::CellAt(TPoint point) const {
  TGridCell cell{-1, -2};
  if (point.x < 0 || point.y < 0 || point.x >= ClientSize().cx || point.y >= ClientSize().cy) {
    return cell;
  }
  const int32_t title = TitlePitch();
  if (point.y < title) {
    cell.row = 0;
  } else {
    const int32_t shown = (point.y - title) / RowPitch();
    if (shown < ShownRowCount()) cell.row = top_row_ + shown;
  }
  if (point.x < DataLeft()) {
    cell.column = options_.Contains(dgIndicator) ? -1 : -2;
  } else {
    int32_t x = DataLeft();
    for (int32_t i = left_col_; i < ColumnCount(); ++i) {
      x += ColumnPitch(i);
      if (point.x < x) {
        cell.column = i;
        break;
      }
    }
  }
  if (cell.column == -2) cell.row = -1;
  return cell;
}

// Input.

bool TDBGrid::DoKeyDown(KeyCode key, ShiftState shift) {
  TDataSet* data_set = DataSet();
  const bool plain = !shift.ctrl && !shift.alt;
  switch (key) {
    case kVkTab:
      if (!options_.Contains(dgTabs) || shift.ctrl || shift.alt) return false;
      return TabKey(!shift.shift);
    case kVkUp:
      if (data_set != nullptr && plain) data_set->Prior();
      return true;
    case kVkDown:
      // Never past the last row: the grid appends nothing.
      if (data_set != nullptr && plain && data_set->RecNo() < data_set->RecordCount()) {
        data_set->Next();
      }
      return true;
    case kVkPrior:
      if (plain) PageBy(-1);
      return true;
    case kVkNext:
      if (plain) PageBy(1);
      return true;
    case kVkLeft:
      if (plain) SetSelectedIndex(selected_index_ - 1);
      return true;
    case kVkRight:
      if (plain) SetSelectedIndex(selected_index_ + 1);
      return true;
    case kVkHome:
      if (shift.ctrl) {
        if (data_set != nullptr) data_set->First();
      } else {
        SetSelectedIndex(0);
      }
      return true;
    case kVkEnd:
      if (shift.ctrl) {
        if (data_set != nullptr) data_set->Last();
      } else {
        SetSelectedIndex(ColumnCount() - 1);
      }
      return true;
    case kVkDelete:
      if (shift.ctrl && !shift.alt && !shift.shift) DeleteCurrentRow();
      return true;
    case kVkInsert:
    case kVkF2:
      // No cell editor and no new rows.
      return true;
    default:
      return false;
  }
}

bool TDBGrid::DoText(const std::string& /*text*/) {
  // Typing opens no editor.
  return true;
}

bool TDBGrid::TabKey(bool forward) {
  TDataSet* data_set = DataSet();
  TGridCell cell{Row(), selected_index_};
  if (data_set == nullptr || !TabStep(cell, RowCount(), ColumnCount(), forward)) return false;
  selected_index_ = cell.column;
  if (cell.row != data_set->RecNo()) {
    data_set->MoveBy(cell.row - data_set->RecNo());
  } else {
    Scroll();
  }
  return true;
}

void TDBGrid::PageBy(int32_t pages) {
  TDataSet* data_set = DataSet();
  if (data_set == nullptr) return;
  // The window moves by a page with the current row, so the row keeps its place on screen
  // unless an end of the data set stops it.
  const int32_t distance = pages * VisibleRowCount();
  top_row_ = std::max(1, top_row_ + distance);
  if (data_set->MoveBy(distance) == 0) Scroll();
}

void TDBGrid::DoMouseDown(TMouseButton button, ShiftState /*shift*/, TPoint point) {
  if (button != TMouseButton::mbLeft) return;
  const TGridCell cell = CellAt(point);
  if (cell.row <= 0) return;
  if (cell.column >= 0) SetSelectedIndex(cell.column);
  MoveToRow(cell.row);
}

void TDBGrid::MouseWheel(int32_t rows) {
  if (TDataSet* data_set = DataSet(); data_set != nullptr && rows != 0) {
    data_set->MoveBy(-rows);
  }
}

void TDBGrid::DoEnter() { Changed(ControlChange::Content); }
void TDBGrid::DoExit() { Changed(ControlChange::Content); }

void TDBGrid::DeleteCurrentRow() {
  TDataSet* data_set = DataSet();
  if (data_set == nullptr || data_set->IsEmpty() || !data_set->CanModify() || read_only_) return;
  if (options_.Contains(dgConfirmDelete) &&
      MessageDlg("Delete record?", TMsgDlgType::mtConfirmation, {mbOK, mbCancel}) != mrOk) {
    return;
  }
  data_set->Delete();
}

// Changes of the control itself.

void TDBGrid::FontChanged() {
  TWinControl::FontChanged();
  if (title_font_follows_) {
    const TFlagScope following(title_font_following_);
    title_font_->Assign(Font());
  }
  Scroll();
}

void TDBGrid::BoundsChanged(TSize old_client_size, bool by_layout) {
  TWinControl::BoundsChanged(old_client_size, by_layout);
  Scroll();
}

void TDBGrid::ChangeScale(int32_t m, int32_t d) {
  TWinControl::ChangeScale(m, d);
  if (m == d || d == 0) return;
  // A title font that follows the grid's font has followed it already.
  if (!title_font_follows_) title_font_->SetHeight(MulDiv(title_font_->Height(), m, d));
  for (int32_t i = 0; i < columns_->Count(); ++i) {
    columns_->Items(i)->SetWidth(MulDiv(columns_->Items(i)->Width(), m, d));
  }
  if (default_row_height_ > 0) default_row_height_ = MulDiv(default_row_height_, m, d);
  indicator_width_ = MulDiv(indicator_width_, m, d);
  Scroll();
}

void TDBGrid::Loaded() {
  TWinControl::Loaded();
  Scroll();
}

}  // namespace tvx
