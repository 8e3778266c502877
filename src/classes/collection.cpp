#include "classes/collection.h"

#include <algorithm>
#include <string>

#include "classes/class_builder.h"
#include "rtl/exceptions.h"

namespace tvx {
namespace {

[[noreturn]] void IndexError(int32_t index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

TVX_IMPLEMENT_CLASS(TCollectionItem) {}

TCollectionItem::TCollectionItem(TCollection* collection) : pending_collection_(collection) {}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::AfterConstruction() {
  TPersistent::AfterConstruction();
  TCollection* collection = std::exchange(pending_collection_, nullptr);
  SetCollection(collection);
}

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection == collection_) return;
  if (collection_ != nullptr) collection_->RemoveItem(this);
  if (collection != nullptr) collection->InsertItem(this);
}

int32_t TCollectionItem::Index() const {
  if (collection_ == nullptr) return -1;
  const auto& items = collection_->items_;
  return static_cast<int32_t>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int32_t index) {
  const int32_t current = Index();
  if (current < 0 || index == current) return;
  auto& items = collection_->items_;
  if (index < 0 || index >= static_cast<int32_t>(items.size())) IndexError(index);
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
  collection_->Changed();
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

std::string TCollectionItem::GetDisplayName() const { return ClassName(); }

void TCollectionItem::Changed() {
  if (collection_ != nullptr && collection_->update_count_ == 0) collection_->Update(this);
}

TVX_IMPLEMENT_CLASS(TCollection) {}

TCollection::TCollection(const TClassInfo& item_class) : item_class_(&item_class) {
  if (!item_class.InheritsFrom(TCollectionItem::StaticClass())) {
    throw EComponentError("Class " + item_class.Name() + " is not a collection item class");
  }
}

TCollection::~TCollection() {
  update_count_ = 1;  // no change reports while the items go
  Clear();
}

TCollectionItem* TCollection::Items(int32_t index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::FindItemID(int32_t id) const {
  for (TCollectionItem* item : items_) {
    if (item->id_ == id) return item;
  }
  return nullptr;
}

TCollectionItem* TCollection::Add() { return item_class_->CreateItem(this); }

TCollectionItem* TCollection::Insert(int32_t index) {
  if (index < 0 || index > Count()) IndexError(index);
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int32_t index) { Items(index)->Free(); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) items_.back()->Free();
  EndUpdate();
}

void TCollection::BeginUpdate() { ++update_count_; }

void TCollection::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) Changed();
}

void TCollection::Assign(const TPersistent* source) {
  const auto* collection = dynamic_cast<const TCollection*>(source);
  if (collection == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (collection == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* item : collection->items_) Add()->Assign(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::SetItemName(TCollectionItem*) {}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
  if (update_count_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = next_id_++;
  SetItemName(item);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->collection_ = nullptr;
  Changed();
}

}  // namespace tvx
