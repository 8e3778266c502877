// The columns of a data grid: each shows one field of the data set under a title, at a
// width in pixels. The grid owns the collection; changing a column tells the grid.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classes/collection.h"

namespace tvx {

class TColumn;

// The title cell of a column.
class TColumnTitle : public TPersistent {
  TVX_DECLARE_CLASS(TColumnTitle, TPersistent)

  explicit TColumnTitle(TColumn* column) : column_(column) {}

  // The text of the title cell; empty shows the column's field name.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  TPersistent* GetOwner() const override;
  void Assign(const TPersistent* source) override;

 protected:
  ~TColumnTitle() override = default;

 private:
  TColumn* column_;
  std::string caption_;
};

class TColumn : public TCollectionItem {
  TVX_DECLARE_CLASS(TColumn, TCollectionItem)

  static constexpr int32_t kDefaultWidth = 64;

  explicit TColumn(TCollection* collection);

  // The name of the data set's field that the column shows (matched without regard to
  // case); a name that no field has shows empty cells.
  const std::string& FieldName() const { return field_name_; }
  void SetFieldName(const std::string& name);
  TColumnTitle* Title() const { return title_.get(); }
  // Width of the column's cells in pixels (not counting the line after them); below 0 is 0.
  int32_t Width() const { return width_; }
  void SetWidth(int32_t width);

  std::string GetDisplayName() const override;
  void Assign(const TPersistent* source) override;

 protected:
  ~TColumn() override = default;

 private:
  friend class TColumnTitle;
  std::string field_name_;
  TOwned<TColumnTitle> title_;
  int32_t width_ = kDefaultWidth;
};

class TDBGridColumns : public TCollection {
  TVX_DECLARE_CLASS(TDBGridColumns, TCollection)

  // `owner` is the grid; `on_change` runs whenever a column or the list changes.
  TDBGridColumns(TPersistent* owner, std::function<void()> on_change);

  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
  TColumn* Items(int32_t index) const { return static_cast<TColumn*>(TCollection::Items(index)); }
  TPersistent* GetOwner() const override { return owner_; }

 protected:
  ~TDBGridColumns() override = default;
  void Update(TCollectionItem* item) override;

 private:
  TPersistent* owner_;
  std::function<void()> on_change_;
};

}  // namespace tvx
