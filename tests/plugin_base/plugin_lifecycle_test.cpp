// When a plug-in's creation and destruction events fire, and a plug-in that cannot be created.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_base/plugin.h"
#include "rtl/exceptions.h"
#include "test_plugins.h"

namespace tvx::test {
namespace {

using Steps = std::vector<std::string>;

class PluginLifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override { PluginLog().clear(); }
};

TEST_F(PluginLifecycleTest, WithTheNewOrderTheDestroyHandlerStillFindsTheCommands) {
  TTestPlugIn* plugin = Create<TTestPlugIn>(nullptr);
  plugin->Free();
  EXPECT_EQ(PluginLog(), (Steps{"OnCreate TestPlugin, 2 commands, first ExportData1C",
                                "OnDestroy, 2 commands, first ExportData1C"}));
}

TEST_F(PluginLifecycleTest, WithTheOldOrderTheDestroyHandlerRunsAfterTheCommandsAreFreed) {
  TOldOrderPlugIn* plugin = Create<TOldOrderPlugIn>(nullptr);
  EXPECT_EQ(plugin->Name(), "OldOrderPlugin");
  EXPECT_TRUE(plugin->OldCreateOrder());
  plugin->Free();
  EXPECT_EQ(PluginLog(), (Steps{"OnCreate OldOrderPlugin, 2 commands, first ExportData1C",
                                "OnDestroy, no commands"}));
}

TEST_F(PluginLifecycleTest, AnOwnedPlugInGoesWithItsOwner) {
  TOwned<TJvPlugIn> owner = CreateOwned<TJvPlugIn>(nullptr);
  TTestPlugIn* plugin = Create<TTestPlugIn>(owner.get());
  EXPECT_EQ(owner->FindComponent("TestPlugin"), plugin);
  owner.reset();
  EXPECT_EQ(PluginLog().back(), "OnDestroy, 2 commands, first ExportData1C");
}

TEST_F(PluginLifecycleTest, AClassWithoutADescriptionCannotBeCreatedAndLeavesNothing) {
  const int live = TUndescribedPlugIn::live;
  try {
    Create<TUndescribedPlugIn>(nullptr);
    FAIL() << "created";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource not found: TUndescribedPlugIn");
  }
  EXPECT_EQ(TUndescribedPlugIn::live, live);
  TOwned<TJvPlugIn> owner = CreateOwned<TJvPlugIn>(nullptr);
  EXPECT_THROW(Create<TUndescribedPlugIn>(owner.get()), EResNotFound);
  EXPECT_EQ(owner->ComponentCount(), 0);
}

}  // namespace
}  // namespace tvx::test
