// Names, ownership, notifications and owner fields of components.
#include <gtest/gtest.h>

#include <string>

#include "classes/component.h"
#include "rtl/exceptions.h"
#include "test_classes.h"

namespace tvx::test {
namespace {

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
  TOwned<TTestRoot> root_ = CreateOwned<TTestRoot>(nullptr);
};

TEST_F(ComponentTest, NamesMustBeIdentifiersUniqueAmongTheOwnersComponents) {
  TTestWidget* first = Create<TTestWidget>(root_.get());
  TTestWidget* second = Create<TTestWidget>(root_.get());
  first->SetName("Button_1");
  struct Case {
    std::string name;
    std::string error;  // empty: accepted
  };
  const Case cases[] = {
      {"", ""},
      {"_x9", ""},
      {"button_1", "A component named button_1 already exists"},
      {"1abc", "'1abc' is not a valid component name"},
      {"a b", "'a b' is not a valid component name"},
      {"Кнопка", "'Кнопка' is not a valid component name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.error.empty()) {
      second->SetName(c.name);
      EXPECT_EQ(second->Name(), c.name);
    } else {
      try {
        second->SetName(c.name);
        ADD_FAILURE() << "accepted";
      } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), c.error);
      }
    }
  }
  first->SetName("BUTTON_1");  // a change of case is no clash with itself
  EXPECT_EQ(root_->FindComponent("button_1"), first);
}

TEST_F(ComponentTest, OwnedComponentsKeepTheirInsertionOrderAndGoWithTheOwner) {
  TTestWidget* a = Create<TTestWidget>(root_.get());
  TTestWidget* b = Create<TTestWidget>(root_.get());
  a->SetName("A");
  b->SetName("B");
  ASSERT_EQ(root_->ComponentCount(), 2);
  EXPECT_EQ(root_->Components(0), a);
  EXPECT_EQ(root_->Components(1), b);
  EXPECT_EQ(a->Owner(), root_.get());
  EXPECT_EQ(a->GetOwner(), root_.get());
  EXPECT_THROW(root_->Components(2), EListError);
  EXPECT_EQ(root_->FindComponent(""), nullptr);

  const int live = TTestWidget::live;
  root_.reset();
  EXPECT_EQ(TTestWidget::live, live - 2);
  EXPECT_EQ(Log(), (std::vector<std::string>{"destroy B", "destroy A"}));
}

TEST_F(ComponentTest, AFreedComponentLeavesItsOwnerAndItsOwnersFieldIsCleared) {
  TTestWidget* widget = Create<TTestWidget>(root_.get());
  widget->SetName("Widget1");
  EXPECT_EQ(root_->Widget1, widget);
  widget->SetName("Widget2");  // renaming moves the field
  EXPECT_EQ(root_->Widget1, nullptr);
  EXPECT_EQ(root_->Widget2, widget);
  widget->Free();
  EXPECT_EQ(root_->ComponentCount(), 0);
  EXPECT_EQ(root_->Widget2, nullptr);
}

TEST_F(ComponentTest, RemovalIsNotifiedToTheOtherComponentsOfTheOwner) {
  TTestWidget* watcher = Create<TTestWidget>(root_.get());
  TTestWidget* watched = Create<TTestWidget>(root_.get());
  watcher->buddy = watched;
  watched->Free();
  EXPECT_EQ(watcher->buddy, nullptr);
}

TEST_F(ComponentTest, FreeNotificationReachesComponentsOfAnotherOwner) {
  TOwned<TTestRoot> other = CreateOwned<TTestRoot>(nullptr);
  TTestWidget* watcher = Create<TTestWidget>(other.get());
  TTestWidget* watched = Create<TTestWidget>(root_.get());
  watcher->buddy = watched;
  watched->FreeNotification(watcher);
  root_.reset();
  EXPECT_EQ(watcher->buddy, nullptr);
}

TEST_F(ComponentTest, AFreedWatcherIsNoLongerNotified) {
  TTestWidget* watcher = Create<TTestWidget>(nullptr);
  TTestWidget* watched = Create<TTestWidget>(nullptr);
  watched->FreeNotification(watcher);
  watcher->Free();
  watched->Free();  // would touch the freed watcher if it were still listed
}

TEST_F(ComponentTest, InsertingMovesAComponentBetweenOwnersAndRefusesCycles) {
  TOwned<TTestRoot> other = CreateOwned<TTestRoot>(nullptr);
  TTestWidget* widget = Create<TTestWidget>(root_.get());
  widget->SetName("Widget1");
  other->InsertComponent(widget);
  EXPECT_EQ(widget->Owner(), other.get());
  EXPECT_EQ(root_->ComponentCount(), 0);
  EXPECT_EQ(root_->Widget1, nullptr);
  EXPECT_EQ(other->Widget1, widget);

  TTestWidget* clash = Create<TTestWidget>(root_.get());
  clash->SetName("Widget1");
  EXPECT_THROW(other->InsertComponent(clash), EComponentError);
  EXPECT_EQ(clash->Owner(), root_.get());

  TTestWidget* inner = Create<TTestWidget>(widget);
  EXPECT_THROW(inner->InsertComponent(other.get()), EComponentError);
  EXPECT_THROW(widget->InsertComponent(widget), EComponentError);
}

TEST_F(ComponentTest, AComponentOfTheWrongClassIsRefusedByAField) {
  TComponent* plain = Create<TComponent>(root_.get());
  try {
    plain->SetName("Widget1");
    FAIL() << "accepted";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(),
              "Component Widget1 is a TComponent, but the field Widget1 of TTestRoot holds a "
              "TTestWidget");
  }
  EXPECT_EQ(plain->Name(), "");
  EXPECT_EQ(root_->Widget1, nullptr);
}

TEST_F(ComponentTest, DestroyingMarksTheOwnedComponentsToo) {
  TTestWidget* widget = Create<TTestWidget>(root_.get());
  root_->Destroying();
  EXPECT_TRUE(root_->ComponentState().Contains(csDestroying));
  EXPECT_TRUE(widget->ComponentState().Contains(csDestroying));
  EXPECT_FALSE(widget->ComponentState().Contains(csLoading));
}

}  // namespace
}  // namespace tvx::test
