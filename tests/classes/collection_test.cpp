#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/collection.h"
#include "rtl/exceptions.h"
#include "test_classes.h"

namespace tvx::test {
namespace {

std::vector<std::string> Names(const TTestItems& items) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < items.Count(); ++i) names.push_back(items.Items(i)->name);
  return names;
}

class CollectionTest : public ::testing::Test {
 protected:
  TOwned<TTestRoot> owner_ = CreateOwned<TTestRoot>(nullptr);
  TOwned<TTestItems> items_ = CreateOwned<TTestItems>(owner_.get());
};

TEST_F(CollectionTest, ItemsAreNumberedInInsertionOrderAndNumbersAreNeverReused) {
  items_->Add();
  items_->Add();
  items_->Delete(1);
  TTestItem* third = items_->Add();
  EXPECT_EQ(third->ID(), 2);
  EXPECT_EQ(Names(*items_), (std::vector<std::string>{"Item0", "Item2"}));
  items_->Clear();
  EXPECT_EQ(items_->Add()->ID(), 3);
  EXPECT_EQ(items_->FindItemID(3), items_->Items(0));
  EXPECT_EQ(items_->FindItemID(0), nullptr);
}

TEST_F(CollectionTest, InsertPlacesTheNewItemAndIndexFollowsThePosition) {
  items_->Add();
  items_->Add();
  TTestItem* inserted = static_cast<TTestItem*>(items_->Insert(1));
  EXPECT_EQ(inserted->Index(), 1);
  EXPECT_EQ(Names(*items_), (std::vector<std::string>{"Item0", "Item2", "Item1"}));
  inserted->SetIndex(0);
  EXPECT_EQ(Names(*items_), (std::vector<std::string>{"Item2", "Item0", "Item1"}));
  EXPECT_THROW(items_->Insert(4), EListError);
  EXPECT_THROW(items_->Delete(3), EListError);
  EXPECT_THROW(items_->Items(-1), EListError);
}

TEST_F(CollectionTest, OwnerQueriesGoUpTheTree) {
  TTestItem* item = items_->Add();
  EXPECT_EQ(item->Collection(), items_.get());
  EXPECT_EQ(item->GetOwner(), items_.get());
  EXPECT_EQ(items_->GetOwner(), owner_.get());
}

TEST_F(CollectionTest, TheDisplayNameDefaultsToTheClassName) {
  TTestItem* item = items_->Add();
  EXPECT_EQ(item->GetDisplayName(), "Item0");
  item->name.clear();
  EXPECT_EQ(item->GetDisplayName(), "TTestItem");
}

TEST_F(CollectionTest, AFreedItemLeavesItsCollection) {
  TTestItem* item = items_->Add();
  items_->Add();
  item->Free();
  EXPECT_EQ(Names(*items_), (std::vector<std::string>{"Item1"}));
}

TEST_F(CollectionTest, ItemsMoveBetweenCollections) {
  TOwned<TTestItems> other = CreateOwned<TTestItems>(nullptr);
  TTestItem* item = items_->Add();
  item->SetCollection(other.get());
  EXPECT_EQ(items_->Count(), 0);
  EXPECT_EQ(other->Items(0), item);
  item->SetCollection(nullptr);
  EXPECT_EQ(item->Index(), -1);
  item->Free();
}

TEST_F(CollectionTest, AssignClearsAndCopiesItemByItem) {
  TOwned<TTestItems> source = CreateOwned<TTestItems>(nullptr);
  source->Add()->value = 10;
  source->Add()->value = 20;
  source->Items(1)->name = "Second";
  items_->Add()->value = 99;
  items_->Assign(source.get());
  ASSERT_EQ(items_->Count(), 2);
  EXPECT_EQ(Names(*items_), (std::vector<std::string>{"Item0", "Second"}));
  EXPECT_EQ(items_->Items(0)->value, 10);
  EXPECT_EQ(items_->Items(1)->value, 20);
  EXPECT_NE(items_->Items(0), source->Items(0));
  items_->Assign(items_.get());  // assigning to itself keeps the items
  EXPECT_EQ(items_->Count(), 2);
}

TEST_F(CollectionTest, AssigningAnotherKindOfObjectFails) {
  TOwned<TTestFont> font = CreateOwned<TTestFont>();
  try {
    items_->Assign(font.get());
    FAIL() << "accepted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TTestFont to a TTestItems");
  }
  try {
    font->Assign(nullptr);
    FAIL() << "accepted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TTestFont");
  }
}

TEST_F(CollectionTest, ChangesInsideAnUpdateAreReportedOnceAtTheEnd) {
  items_->updates = 0;
  items_->BeginUpdate();
  items_->Add();
  items_->Add();
  items_->Delete(0);
  EXPECT_EQ(items_->updates, 0);
  items_->EndUpdate();
  EXPECT_EQ(items_->updates, 1);
  items_->Add();
  EXPECT_EQ(items_->updates, 2);
}

}  // namespace
}  // namespace tvx::test
