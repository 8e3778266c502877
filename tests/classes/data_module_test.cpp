// When a data module applies its descriptions and fires its creation and destruction events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/application_hooks.h"
#include "classes/data_module.h"
#include "rtl/exceptions.h"
#include "test_classes.h"

namespace tvx::test {
namespace {

using Steps = std::vector<std::string>;

class DataModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
  void TearDown() override {
    TTestModule::throw_in_events = false;
    SetApplicationHandleException(nullptr);
  }
};

TEST_F(DataModuleTest, WithTheNewOrderOnCreateFiresAfterAllConstructionAndOnDestroyFirst) {
  TTestModule* module = Create<TTestModule>(nullptr);
  Create<TTestWidget>(module)->SetName("Part");
  EXPECT_EQ(Log(), (Steps{"constructor", "AfterCreation", "OnCreate Module1 base"}));
  Log().clear();
  module->Free();
  EXPECT_EQ(Log(), (Steps{"OnDestroy", "FreeOwnedObjects", "destroy Part", "destructor"}));
}

TEST_F(DataModuleTest, WithTheOldOrderOnCreateFiresRightAfterTheDescriptionsAndOnDestroyLater) {
  TTestOldOrderModule* module = Create<TTestOldOrderModule>(nullptr);
  EXPECT_TRUE(module->OldCreateOrder());
  EXPECT_EQ(Log(), (Steps{"constructor", "OnCreate OldModule old", "AfterCreation"}));
  Log().clear();
  module->Free();
  EXPECT_EQ(Log(), (Steps{"FreeOwnedObjects", "OnDestroy", "destructor"}));
}

TEST_F(DataModuleTest, DescriptionsApplyFromTheFirstDescendantDownToTheObjectsClass) {
  TOwned<TTestModuleDerived> module = CreateOwned<TTestModuleDerived>(nullptr);
  EXPECT_EQ(module->captions, (Steps{"base", "derived"}));
  EXPECT_EQ(module->Name(), "Module2");
  EXPECT_EQ(module->Width(), 215);
  EXPECT_EQ(module->Height(), 150);
  EXPECT_EQ(Log().back(), "OnCreate Module2 derived");
  EXPECT_FALSE(module->ComponentState().Contains(csLoading));
}

TEST_F(DataModuleTest, ADataModuleOfTheBaseClassNeedsNoDescription) {
  TOwned<TDataModule> module = CreateOwned<TDataModule>(nullptr);
  EXPECT_EQ(module->Name(), "");
  EXPECT_FALSE(module->OldCreateOrder());
}

TEST_F(DataModuleTest, AClassWithoutAnyDescriptionFailsAndItsPartsAreFreed) {
  const int widgets = TTestWidget::live;
  try {
    Create<TTestUndescribedModule>(nullptr);
    FAIL() << "created";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource not found: TTestUndescribedModule");
  }
  EXPECT_EQ(TTestWidget::live, widgets);
  EXPECT_EQ(Log(), (Steps{"destroy Part"}));
}

TEST_F(DataModuleTest, ExceptionsOfTheEventsGoToTheApplicationAndCreationGoesOn) {
  std::vector<std::string> handled;
  SetApplicationHandleException([&](TObject* sender, std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const Exception& e) {
      handled.push_back(sender->ClassName() + ": " + e.Message());
    }
  });
  TTestModule::throw_in_events = true;
  TTestModule* module = Create<TTestModule>(nullptr);
  EXPECT_EQ(handled, (Steps{"TTestModule: create failed"}));
  module->Free();
  EXPECT_EQ(handled, (Steps{"TTestModule: create failed", "TTestModule: destroy failed"}));
  EXPECT_EQ(Log().back(), "destructor");
}

TEST_F(DataModuleTest, WithoutAnInstalledHandlerTheMessageGoesToStandardError) {
  TTestModule::throw_in_events = true;
  ::testing::internal::CaptureStderr();
  Create<TTestModule>(nullptr)->Free();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "create failed\ndestroy failed\n");
}

}  // namespace
}  // namespace tvx::test
