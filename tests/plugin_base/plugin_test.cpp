// The plug-in object as a host sees it: identity, Initialize, Configure and messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_base/plugin.h"
#include "rtl/exceptions.h"
#include "test_plugins.h"

namespace tvx::test {
namespace {

using Steps = std::vector<std::string>;

// Stands for the host's objects: the plug-in only stores and hands back these references.
TObject* const kHostObject = reinterpret_cast<TObject*>(0x1000);
TApplication* const kHostApplication = reinterpret_cast<TApplication*>(0x2000);

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override { PluginLog().clear(); }
  void TearDown() override {
    TTestPlugIn::allow_load = true;
    TTestPlugIn::fail = false;
  }
};

TEST_F(PluginTest, TheBaseClassIsCreatedWithoutADescription) {
  TOwned<TJvPlugIn> plugin = CreateOwned<TJvPlugIn>(nullptr);
  EXPECT_EQ(plugin->Name(), "");
  EXPECT_EQ(plugin->PluginID(), "");
  EXPECT_EQ(plugin->Author(), "");
  EXPECT_EQ(plugin->Copyright(), "");
  EXPECT_EQ(plugin->Description(), "");
  EXPECT_EQ(plugin->PluginVersion(), "");
  EXPECT_EQ(plugin->InstanceCount(), 1);
  EXPECT_EQ(plugin->Commands()->Count(), 0);
  EXPECT_EQ(plugin->Width(), 100);
  EXPECT_EQ(plugin->Height(), 100);
  EXPECT_EQ(plugin->Commands()->GetOwner(), plugin.get());
}

TEST_F(PluginTest, TheDescriptionGivesIdentityCommandsAndSize) {
  TOwned<TTestPlugIn> plugin = CreateOwned<TTestPlugIn>(nullptr);
  EXPECT_EQ(plugin->Name(), "TestPlugin");
  EXPECT_EQ(plugin->PluginID(), "Plugin.Test");
  EXPECT_EQ(plugin->Author(), "Norvalen");
  EXPECT_EQ(plugin->Copyright(), "(c) Norvalen");
  EXPECT_EQ(plugin->Description(), "Plugin Description");
  EXPECT_EQ(plugin->PluginVersion(), "1.2");
  EXPECT_EQ(plugin->InstanceCount(), 3);
  EXPECT_EQ(plugin->Width(), 215);
  ASSERT_EQ(plugin->Commands()->Count(), 2);
  const TJvPluginCommand* first = plugin->Commands()->Items(0);
  EXPECT_EQ(first->Name(), "ExportData1C");
  EXPECT_EQ(first->Caption(), "Экспорт данных в 1С");
  EXPECT_EQ(first->Data(),
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<plugin>\r\n"
            "  <name>Экспорт в 1С</name>\r\n  <type>MainForm</type>  \r\n</plugin>");
  EXPECT_EQ(first->Hint(), "");
  EXPECT_EQ(first->ShortCut(), 0);
  EXPECT_TRUE(first->Bitmap()->Empty());
  const TJvPluginCommand* second = plugin->Commands()->Items(1);
  EXPECT_EQ(second->Name(), "Command1");
  EXPECT_EQ(second->Hint(), "the second command");
  EXPECT_EQ(second->ShortCut(), ShortCutOf('A', false, true));
  EXPECT_EQ(second->Bitmap()->Pixel(0, 0), 0xFF0000FFu);
}

TEST_F(PluginTest, CommandHandlersAreLeftForTheHostToCall) {
  TOwned<TTestPlugIn> plugin = CreateOwned<TTestPlugIn>(nullptr);
  TOwned<TJvPlugIn> host = CreateOwned<TJvPlugIn>(nullptr);
  EXPECT_EQ(PluginLog(), (Steps{"OnCreate TestPlugin, 2 commands, first ExportData1C"}));
  plugin->Commands()->Items(0)->OnExecute().Fire(host.get());
  EXPECT_FALSE(plugin->Commands()->Items(1)->OnExecute().Assigned());
  EXPECT_EQ(PluginLog().back(), "OnExecute from TJvPlugIn");
}

TEST_F(PluginTest, InitializeWithoutAHandlerAllowsLoadingAndKeepsTheArguments) {
  TOwned<TJvPlugIn> plugin = CreateOwned<TJvPlugIn>(nullptr);
  EXPECT_TRUE(plugin->Initialize(kHostObject, kHostApplication, "C:\\Host\\Tavolex.plu"));
  EXPECT_EQ(plugin->HostObject(), kHostObject);
  EXPECT_EQ(plugin->HostApplication(), kHostApplication);
  EXPECT_EQ(plugin->FileName(), "C:\\Host\\Tavolex.plu");
  plugin->Configure();
  plugin->DoPluginMessage(5, "ignored");
  EXPECT_EQ(plugin->HostObject(), kHostObject);
}

TEST_F(PluginTest, TheInitialiseHandlerSeesTheCallsArgumentsAndDecides) {
  for (bool allow : {true, false}) {
    SCOPED_TRACE(allow);
    TTestPlugIn::allow_load = allow;
    TOwned<TTestPlugIn> plugin = CreateOwned<TTestPlugIn>(nullptr);
    EXPECT_EQ(plugin->Initialize(kHostObject, kHostApplication, "a.plu"), allow);
    EXPECT_EQ(plugin->seen_sender, plugin.get());
    EXPECT_EQ(plugin->seen_host_object, kHostObject);
    EXPECT_EQ(plugin->seen_host_application, kHostApplication);
    EXPECT_EQ(plugin->seen_file_name, "a.plu");
    EXPECT_TRUE(plugin->seen_allow_load);
    // A refusal undoes nothing.
    EXPECT_EQ(plugin->HostObject(), kHostObject);
    EXPECT_EQ(plugin->HostApplication(), kHostApplication);
    EXPECT_EQ(plugin->FileName(), "a.plu");
  }
}

TEST_F(PluginTest, ASecondInitializeReplacesTheMembersAndRunsTheHandlerAgain) {
  TOwned<TTestPlugIn> plugin = CreateOwned<TTestPlugIn>(nullptr);
  plugin->Initialize(kHostObject, kHostApplication, "a.plu");
  EXPECT_TRUE(plugin->Initialize(nullptr, nullptr, "b.plu"));
  EXPECT_EQ(plugin->HostObject(), nullptr);
  EXPECT_EQ(plugin->HostApplication(), nullptr);
  EXPECT_EQ(plugin->seen_file_name, "b.plu");
  EXPECT_EQ(PluginLog().size(), 3u);  // OnCreate and two OnInitialize
}

TEST_F(PluginTest, AnInitialiseHandlerErrorReachesTheCallerWithTheMembersSet) {
  TTestPlugIn::fail = true;
  TOwned<TTestPlugIn> plugin = CreateOwned<TTestPlugIn>(nullptr);
  EXPECT_THROW(plugin->Initialize(kHostObject, kHostApplication, "a.plu"), EInvalidOperation);
  EXPECT_EQ(plugin->HostObject(), kHostObject);
  EXPECT_EQ(plugin->FileName(), "a.plu");
}

TEST_F(PluginTest, ConfigureAndMessagesFireTheirHandlersWithThePlugInAsSender) {
  TOwned<TTestPlugIn> plugin = CreateOwned<TTestPlugIn>(nullptr);
  PluginLog().clear();
  plugin->Configure();  // before Initialize: no stage is checked
  plugin->DoPluginMessage(-2147483647 - 1, "  текст\r\n ");
  EXPECT_EQ(PluginLog(), (Steps{"OnConfigure from itself",
                                "OnPluginMessage -2147483648 [  текст\r\n ] from itself"}));
}

TEST_F(PluginTest, ConfigureRunsADescendantsConfigureOperation) {
  TOwned<TConfigurePlugIn> plugin = CreateOwned<TConfigurePlugIn>(nullptr);
  plugin->Configure();
  TJvPlugIn* base = plugin.get();
  base->Configure();
  EXPECT_EQ(plugin->configured, 2);
}

}  // namespace
}  // namespace tvx::test
