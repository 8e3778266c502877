// Collections: ordered lists of items of one class that the collection owns, such as the
// plug-in's commands or a grid's columns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classes/persistent.h"

namespace tvx {

class TCollection;

class TCollectionItem : public TPersistent {
  TVX_DECLARE_CLASS(TCollectionItem, TPersistent)

  // The item is inserted into collection (which numbers and may name it) by Create, once
  // every constructor has run.
  explicit TCollectionItem(TCollection* collection);

  TCollection* Collection() const { return collection_; }
  // Moves the item into another collection (or out of any, with null).
  void SetCollection(TCollection* collection);
  // Given by the collection at insertion: 0, 1, 2, ... in insertion order, never reused.
  int32_t ID() const { return id_; }
  // The position in the collection (-1 outside any).
  int32_t Index() const;
  void SetIndex(int32_t index);

  TPersistent* GetOwner() const override;
  // The name shown for the item; the default is the class name.
  virtual std::string GetDisplayName() const;

 protected:
  ~TCollectionItem() override;
  void AfterConstruction() override;
  // Tells the collection that the item's values have changed.
  void Changed();

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  TCollection* pending_collection_ = nullptr;
  int32_t id_ = 0;
};

class TCollection : public TPersistent {
  TVX_DECLARE_CLASS(TCollection, TPersistent)

  // Items are of item_class (a registered class derived from TCollectionItem).
  explicit TCollection(const TClassInfo& item_class);

  const TClassInfo& ItemClass() const { return *item_class_; }

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0..Count()-1.
  TCollectionItem* Items(int32_t index) const;
  // The item with that ID, or null.
  TCollectionItem* FindItemID(int32_t id) const;
  // A new item at the end, or at index.
  TCollectionItem* Add();
  TCollectionItem* Insert(int32_t index);
  // Frees the item at index; raises EListError outside the range.
  void Delete(int32_t index);
  // Frees every item.
  void Clear();

  // Between BeginUpdate and the matching EndUpdate, changes are reported once, at the end.
  void BeginUpdate();
  void EndUpdate();
  int32_t UpdateCount() const { return update_count_; }

  // Clears the collection and copies the items of another collection one by one: for each, a
  // new item of this collection's class that Assigns the source item's values.
  void Assign(const TPersistent* source) override;

 protected:
  ~TCollection() override;
  // Runs for each inserted item, once it has its ID: names the item when the collection gives
  // its items names. The default does nothing.
  virtual void SetItemName(TCollectionItem* item);
  // The items have changed: item is the one that changed, or null for several or for the
  // list. Runs when no update is in progress. The default does nothing.
  virtual void Update(TCollectionItem* item);
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);

  const TClassInfo* item_class_;
  std::vector<TCollectionItem*> items_;
  int32_t next_id_ = 0;
  int32_t update_count_ = 0;
};

}  // namespace tvx
