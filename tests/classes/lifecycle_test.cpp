// Creation and destruction protocol, class information and the registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/class_builder.h"
#include "classes/object.h"
#include "rtl/exceptions.h"

namespace tvx::test {
namespace {

std::vector<std::string> steps;

class TStepBase : public TObject {
  TVX_DECLARE_CLASS(TStepBase, TObject)
  TStepBase() { steps.push_back("base constructor"); }

 protected:
  ~TStepBase() override { steps.push_back("base destructor"); }
  void AfterConstruction() override { steps.push_back("AfterConstruction " + ClassName()); }
  void BeforeDestruction() override { steps.push_back("BeforeDestruction " + ClassName()); }
};

class TStepDerived : public TStepBase {
  TVX_DECLARE_CLASS(TStepDerived, TStepBase)
  explicit TStepDerived(bool fail) : fail_(fail) { steps.push_back("derived constructor"); }

 protected:
  ~TStepDerived() override { steps.push_back("derived destructor"); }
  void AfterConstruction() override {
    TStepBase::AfterConstruction();
    if (fail_) throw EInvalidOperation("refused");
  }

 private:
  bool fail_;
};

TVX_IMPLEMENT_CLASS(TStepBase) {}
TVX_IMPLEMENT_CLASS(TStepDerived) {}

TEST(Lifecycle, AfterConstructionFollowsEveryConstructorAndBeforeDestructionPrecedesDestructors) {
  steps.clear();
  TStepDerived* object = Create<TStepDerived>(false);
  object->Free();
  EXPECT_EQ(steps, (std::vector<std::string>{
                       "base constructor", "derived constructor", "AfterConstruction TStepDerived",
                       "BeforeDestruction TStepDerived", "derived destructor", "base destructor"}));
}

TEST(Lifecycle, AFailedAfterConstructionDeletesTheObjectWithoutBeforeDestruction) {
  steps.clear();
  EXPECT_THROW(Create<TStepDerived>(true), EInvalidOperation);
  EXPECT_EQ(steps, (std::vector<std::string>{"base constructor", "derived constructor",
                                             "AfterConstruction TStepDerived", "derived destructor",
                                             "base destructor"}));
}

TEST(Lifecycle, OwnedPointersFreeThroughFree) {
  steps.clear();
  { TOwned<TStepDerived> object = CreateOwned<TStepDerived>(false); }
  ASSERT_EQ(steps.size(), 6u);
  EXPECT_EQ(steps[3], "BeforeDestruction TStepDerived");
  TStepBase* nothing = nullptr;
  FreeAndNil(nothing);  // freeing nothing is allowed
}

TEST(ClassInfo, ObjectsKnowTheirClassAndItsAncestors) {
  TOwned<TStepDerived> object = CreateOwned<TStepDerived>(false);
  EXPECT_EQ(object->ClassName(), "TStepDerived");
  EXPECT_EQ(&object->ClassType(), &TStepDerived::StaticClass());
  EXPECT_EQ(object->ClassType().Parent(), &TStepBase::StaticClass());
  EXPECT_TRUE(object->InheritsFrom(TStepBase::StaticClass()));
  EXPECT_TRUE(object->InheritsFrom(TObject::StaticClass()));
  EXPECT_FALSE(TStepBase::StaticClass().InheritsFrom(TStepDerived::StaticClass()));
}

TEST(ClassInfo, TheRegistryFindsClassesByName) {
  EXPECT_EQ(FindClass("TStepDerived"), &TStepDerived::StaticClass());
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  try {
    GetClass("TNoSuchClass");
    FAIL() << "no error";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "Class TNoSuchClass not found");
  }
}

TEST(ClassInfo, ASecondClassOfTheSameNameIsRefused) {
  auto duplicate = std::make_unique<TClassInfo>("TStepBase", &TObject::StaticClass());
  TStepBase::StaticClass();
  EXPECT_THROW(RegisterClassInfo(std::move(duplicate)), EComponentError);
}

TEST(ClassInfo, ClassesThatAreNeitherComponentsNorItemsCannotBeCreatedByClass) {
  EXPECT_FALSE(TStepBase::StaticClass().CanCreateComponent());
  EXPECT_FALSE(TStepBase::StaticClass().CanCreateItem());
  EXPECT_THROW(TStepBase::StaticClass().CreateComponent(nullptr), EComponentError);
}

}  // namespace
}  // namespace tvx::test
