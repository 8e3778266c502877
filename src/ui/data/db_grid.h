// TDBGrid: a grid that lists the rows of a data set through a data source, one column per
// field, for reading: it never edits or inserts rows. Its current row is the data set's
// cursor (moving either moves both); it shows a window of the rows around it, computed from
// the current row, the grid's height and the row height, never by walking the data set.
//
// Layout, in client coordinates (inside a 2-pixel sunken border): with dgIndicator, an
// indicator column IndicatorWidth() wide at the left (kIndicatorWidth at 96 pixels per inch,
// scaled with the grid); then the columns from LeftCol() on,
// each its Width() wide; with dgColLines a 1-pixel line after the indicator and after each
// column. With dgTitles a title row at the top; then the rows from TopRow() on, each
// RowHeight() high; with dgRowLines a 1-pixel line below the title and below each row.
//
// A native peer paints from TitleText, CellText, ShownRowCount, TopRow, Row, SelectedIndex,
// ShowsHighlight and the rectangles below, and repaints on ControlChange::Content.
#pragma once

#include <cstdint>
#include <string>

#include "db/data_source.h"
#include "ui/core/win_control.h"
#include "ui/data/db_grid_options.h"
#include "ui/data/grid_columns.h"
#include "ui/data/grid_navigation.h"

namespace tvx {

class TDBGrid : public TWinControl {
  TVX_DECLARE_CLASS(TDBGrid, TWinControl)

  // The indicator column's width at 96 pixels per inch.
  static constexpr int32_t kIndicatorWidth = 11;
  static constexpr int32_t kBorderWidth = 2;

  explicit TDBGrid(TComponent* owner);

  // The data source whose data set the grid shows (a reference).
  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source);
  // The data set while the grid sees it open, else null.
  TDataSet* DataSet() const;

  // The columns given; while there are none, every field of the data set is a column (in
  // the data set's order, TColumn::kDefaultWidth wide, titled with its field name).
  TDBGridColumns* Columns() const { return columns_.get(); }
  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions options);
  // The font of the title row.
  TFont* TitleFont() const { return title_font_.get(); }
  // The grid's own switch against deletion (the data set's may forbid it too).
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value) { read_only_ = value; }

  // The columns shown and what each shows.
  int32_t ColumnCount() const;
  std::string ColumnFieldName(int32_t column) const;
  int32_t ColumnWidth(int32_t column) const;
  // The title of a column: its caption, else its field name.
  std::string TitleText(int32_t column) const;
  // The text of a cell: the field's display text in that row (date-times as the short date,
  // then a blank and the long time unless at midnight; a null as nothing); empty for a
  // column without a field. `rec_no` is 1..RowCount().
  std::string CellText(int32_t rec_no, int32_t column) const;

  // Rows: the data set's row count and current row (0 when there is none), the first row
  // shown and how many whole rows fit; ShownRowCount is how many of those hold a row.
  int32_t RowCount() const;
  int32_t Row() const;
  int32_t TopRow() const { return top_row_; }
  int32_t VisibleRowCount() const;
  int32_t ShownRowCount() const;
  // The current column and the first column shown.
  int32_t SelectedIndex() const { return selected_index_; }
  void SetSelectedIndex(int32_t column);
  int32_t LeftCol() const { return left_col_; }
  // Whether the current cell is drawn highlighted: only while the grid has the focus (or
  // with dgAlwaysShowSelection).
  bool ShowsHighlight() const;
  // Moves the data set's cursor to a row (1..RowCount(), clamped): what a click on a row or
  // the scroll bar does.
  void MoveToRow(int32_t rec_no);

  // Geometry. The height of a row's cells (from the font, unless DefaultRowHeight is set)
  // and of the title's; each pitch adds the row line.
  int32_t DefaultRowHeight() const { return default_row_height_; }
  // The indicator column's width on this screen.
  int32_t IndicatorWidth() const { return indicator_width_; }
  void SetDefaultRowHeight(int32_t height);
  int32_t RowHeight() const;
  int32_t RowPitch() const;
  int32_t TitlePitch() const;
  TSize ClientSize() const override;
  // The rectangle of a cell of a shown row (0..VisibleRowCount()-1; -1 is the title row)
  // and a column (-1 is the indicator). A column left of LeftCol() has an empty rectangle.
  TRect CellRect(int32_t shown_row, int32_t column) const;
  // What lies under a point: `row` is a record number (0 for the title row, -1 for nothing)
  // and `column` a column index (-1 for the indicator, -2 for nothing).
  TGridCell CellAt(TPoint point) const;

  // Input.
  bool FocusOnClick() const override { return true; }
  bool DoKeyDown(KeyCode key, ShiftState shift) override;
  bool DoText(const std::string& text) override;
  void DoMouseDown(TMouseButton button, ShiftState shift, TPoint point) override;
  // The mouse wheel turned by `rows` rows' worth (positive: away from the user; the backend
  // reckons the rows of a notch as the system's setting says): the current row moves up by as
  // many rows (down for negative).
  void MouseWheel(int32_t rows);
  void DoEnter() override;
  void DoExit() override;

  // Scaling to another resolution takes the columns' widths, a fixed row height and a title
  // font of the grid's own along with the bounds.
  void ChangeScale(int32_t m, int32_t d) override;

  // Ctrl+Delete: when the data set holds rows and neither it nor the grid is read-only,
  // asks "Delete record?" (with dgConfirmDelete) and on OK deletes the current row. The
  // data set's own refusal passes on to the caller.
  void DeleteCurrentRow();

 protected:
  ~TDBGrid() override;
  void FontChanged() override;
  void BoundsChanged(TSize old_client_size, bool by_layout) override;
  void Loaded() override;

 private:
  class TGridDataLink : public TDataLink {
   public:
    explicit TGridDataLink(TDBGrid& grid) : grid_(grid) {}

   protected:
    void ActiveChanged() override { grid_.LinkActiveChanged(); }
    void DataSetScrolled(int32_t /*distance*/) override { grid_.Scroll(); }
    void DataSetChanged() override { grid_.Scroll(); }

   private:
    TDBGrid& grid_;
  };

  void LinkActiveChanged();
  // Moves the window (rows and columns) so that the current cell is shown, and tells the
  // peer.
  void Scroll();
  void ColumnsChanged();
  int32_t TextHeight(const TFont& font) const;
  int32_t ColumnPitch(int32_t column) const;
  int32_t DataLeft() const;
  bool TabKey(bool forward);
  void PageBy(int32_t pages);

  TGridDataLink link_{*this};
  TOwned<TDBGridColumns> columns_;
  TOwned<TFont> title_font_;
  TDBGridOptions options_ = kDefaultDBGridOptions;
  bool read_only_ = false;
  int32_t default_row_height_ = 0;
  int32_t indicator_width_ = kIndicatorWidth;
  int32_t top_row_ = 1;
  int32_t selected_index_ = 0;
  int32_t left_col_ = 0;
  // The title font follows the grid's font until it is changed on its own.
  bool title_font_follows_ = true;
  bool title_font_following_ = false;
};

}  // namespace tvx
