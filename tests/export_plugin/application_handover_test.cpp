// The hand-over of the module's application object among plug-in objects.
#include "export_plugin/application_handover.h"

#include <gtest/gtest.h>

#include "classes/object.h"
#include "ui/core/application.h"

namespace tvx::test {
namespace {

class ApplicationHandoverTest : public ::testing::Test {
 protected:
  void TearDown() override { EndApplicationHandovers(); }

  TOwned<TApplication> first_ = CreateOwned<TApplication>(nullptr);
  TOwned<TApplication> second_ = CreateOwned<TApplication>(nullptr);
  TOwned<TApplication> third_ = CreateOwned<TApplication>(nullptr);
  // Stand-ins for plug-in objects.
  int plugin_a_ = 0;
  int plugin_b_ = 0;
};

TEST_F(ApplicationHandoverTest, TheMostRecentHandOverStillInForceIsCurrent) {
  TApplication* own = ModuleApplication();
  ASSERT_EQ(Application(), own);

  HandOverApplication(&plugin_a_, first_.get());
  HandOverApplication(&plugin_b_, second_.get());
  EXPECT_EQ(Application(), second_.get());
  EXPECT_TRUE(ApplicationHandedOver());

  // Taken back in the order of hand-over: the later one stays current.
  TakeBackApplication(&plugin_a_);
  EXPECT_EQ(Application(), second_.get());
  TakeBackApplication(&plugin_a_);  // a second time changes nothing
  EXPECT_EQ(Application(), second_.get());
  TakeBackApplication(&plugin_b_);
  EXPECT_EQ(Application(), own);
  EXPECT_FALSE(ApplicationHandedOver());
}

TEST_F(ApplicationHandoverTest, AHolderThatHandsOverAgainReplacesItsEarlierHandOver) {
  HandOverApplication(&plugin_a_, first_.get());
  HandOverApplication(&plugin_b_, second_.get());
  HandOverApplication(&plugin_a_, third_.get());  // a plug-in object initialised again
  EXPECT_EQ(Application(), third_.get());

  TakeBackApplication(&plugin_a_);  // its first application object is not current either
  EXPECT_EQ(Application(), second_.get());
  TakeBackApplication(&plugin_b_);
  EXPECT_EQ(Application(), ModuleApplication());
}

TEST_F(ApplicationHandoverTest, EndingEveryHandOverPutsTheModulesOwnBack) {
  HandOverApplication(&plugin_a_, first_.get());
  HandOverApplication(&plugin_b_, second_.get());
  EndApplicationHandovers();
  EXPECT_EQ(Application(), ModuleApplication());
  EXPECT_FALSE(ApplicationHandedOver());
}

}  // namespace
}  // namespace tvx::test
