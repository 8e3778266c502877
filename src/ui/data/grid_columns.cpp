#include "ui/data/grid_columns.h"

#include <algorithm>

#include "classes/class_builder.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TColumnTitle) { TVX_PROPERTY(Caption); }

void TColumnTitle::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  if (column_ != nullptr) column_->Changed();
}

TPersistent* TColumnTitle::GetOwner() const { return column_; }

void TColumnTitle::Assign(const TPersistent* source) {
  if (const auto* title = dynamic_cast<const TColumnTitle*>(source)) {
    SetCaption(title->caption_);
    return;
  }
  TPersistent::Assign(source);
}

TVX_IMPLEMENT_CLASS(TColumn) {
  TVX_PROPERTY(FieldName);
  c.Object("Title", &TColumn::Title);
  TVX_PROPERTY(Width);
}

TColumn::TColumn(TCollection* collection)
    : TCollectionItem(collection), title_(CreateOwned<TColumnTitle>(this)) {}

void TColumn::SetFieldName(const std::string& name) {
  if (name == field_name_) return;
  field_name_ = name;
  Changed();
}

void TColumn::SetWidth(int32_t width) {
  width = std::max(0, width);
  if (width == width_) return;
  width_ = width;
  Changed();
}

std::string TColumn::GetDisplayName() const {
  return field_name_.empty() ? TCollectionItem::GetDisplayName() : field_name_;
}

void TColumn::Assign(const TPersistent* source) {
  if (const auto* column = dynamic_cast<const TColumn*>(source)) {
    SetFieldName(column->field_name_);
    SetWidth(column->width_);
    title_->Assign(column->title_.get());
    return;
  }
  TCollectionItem::Assign(source);
}

TVX_IMPLEMENT_CLASS(TDBGridColumns) {}

TDBGridColumns::TDBGridColumns(TPersistent* owner, std::function<void()> on_change)
    : TCollection(TColumn::StaticClass()), owner_(owner), on_change_(std::move(on_change)) {}

void TDBGridColumns::Update(TCollectionItem* /*item*/) {
  if (on_change_) on_change_();
}

}  // namespace tvx
