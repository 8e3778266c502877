// The application object's hand-over across plug-in objects and the module's unloading.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module_host.h"
#include "support/history_table.h"

namespace tvx::test {
namespace {

constexpr char kNoDirectory[] =
    "Нет связи с сервером приложений: приложение не предоставило каталог (IDirectory)";

const HistoryRow kHistory[] = {{1, 45000.5, 44900.0, 44990.0}};

// Plug-in objects that a host never released; kept reachable so that the leak checker sees the
// host's own leak as what it is.
tavolex::IPlugin* leaked_plugins[2] = {};

TEST_F(ModuleHostTest, DestroyingAndUnloadingPutsEverythingBackWhereItStarted) {
  Host host;
  const std::vector<ULONG> references = host.References();
  {
    tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
    ASSERT_TRUE(Initialize(plugin.Get(), host));
    EXPECT_FALSE(OwnApplicationCurrent());
  }
  EXPECT_TRUE(OwnApplicationCurrent());
  EXPECT_EQ(host.References(), references);
  const std::size_t calls = host.application->Calls().size();
  Unload();
  EXPECT_EQ(host.References(), references);
  EXPECT_EQ(host.application->Calls().size(), calls);
}

// Plug-in objects destroyed in the order of their initialisation (not the reverse): the host
// application of the one still alive stays current, and the module's own comes back after the
// last, never an application object already gone.
TEST_F(ModuleHostTest, PluginObjectsMayBeDestroyedInAnyOrder) {
  Host first_host(Host::MainForm::kWithDirectoryAccess, Host::Directory::kNone);
  Host second_host(Host::MainForm::kWithDirectoryAccess, Host::Directory::kNone);
  tavolex::Ref<tavolex::IPlugin> first = NewPlugin();
  tavolex::Ref<tavolex::IPlugin> second = NewPlugin();
  ASSERT_TRUE(Initialize(first.Get(), first_host));
  ASSERT_TRUE(Initialize(second.Get(), second_host));

  first.Reset();
  EXPECT_FALSE(OwnApplicationCurrent());
  // The second plug-in's host application still owns the module's boxes, and is asked for it.
  const std::size_t asked_before = second_host.application->Calls().size();
  AnswerBox(tavolex::kResultOk);
  EXPECT_EQ(Execute(second.Get()), tavolex::kSilentAbort);
  EXPECT_GT(second_host.application->Calls().size(), asked_before);
  EXPECT_EQ(Boxes().back().text, kNoDirectory);

  second.Reset();
  EXPECT_TRUE(OwnApplicationCurrent());
  EXPECT_EQ(first_host.application->References(), 1u);
  EXPECT_EQ(second_host.application->References(), 1u);
}

class WaitingReleaseTest : public ModuleHostTest {
 protected:
  // Runs the command with the operator cancelling, and checks that the dialog's release waits
  // for the host's message loop, holding the host's connection.
  void RunWithTheReleaseLeftWaiting(tavolex::IPlugin* plugin, const Host& host,
                                    ULONG connection_references) {
    WhenModal([&](const std::string&) { Click("btnCancel"); });
    EXPECT_EQ(Execute(plugin), S_OK);
    EXPECT_EQ(PostedCount(), 1) << "the dialog's release waits for the message loop";
    EXPECT_EQ(host.connection->References(), connection_references + 1);
  }
};

// A host that lets go of its plug-in object right after the command, before its message loop has
// run again: the last plug-in object frees the dialog as it goes, and the host gets every
// reference back, its connection's among them.
TEST_F(WaitingReleaseTest, ADialogWhoseReleaseWaitsIsFreedWhenTheLastPluginObjectGoes) {
  Host host;
  host.server->SetPacket(HistoryTable(kHistory));
  const std::vector<ULONG> references = host.References();
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  ASSERT_TRUE(Initialize(plugin.Get(), host));
  RunWithTheReleaseLeftWaiting(plugin.Get(), host, references[3]);
  plugin.Reset();
  EXPECT_EQ(host.References(), references);
  // The release still posted finds the dialog gone.
  ProcessMessages();
  EXPECT_EQ(PostedCount(), 0);
  EXPECT_EQ(host.References(), references);
}

// The same host keeping its plug-in object and unloading the module: the unloading frees the
// dialog, and the connection's reference comes back; the plug-in object's hold on the host's
// application is left alone (see the next test).
TEST_F(WaitingReleaseTest, ADialogWhoseReleaseWaitsIsFreedWhenTheModuleUnloads) {
  Host host;
  host.server->SetPacket(HistoryTable(kHistory));
  const ULONG connection_references = host.connection->References();
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  ASSERT_TRUE(Initialize(plugin.Get(), host));
  RunWithTheReleaseLeftWaiting(plugin.Get(), host, connection_references);
  leaked_plugins[0] = plugin.Detach();
  const ULONG application_references = host.application->References();
  Unload();
  EXPECT_EQ(host.connection->References(), connection_references);
  EXPECT_EQ(host.application->References(), application_references);
}

// A host that unloads the module without destroying its plug-in object: the module tears down its
// own application object only. The host's stays untouched: no call reaches it during the
// unloading, and the reference that the plug-in object holds is neither released nor used.
TEST_F(ModuleHostTest, UnloadingWithAPluginObjectAliveLeavesTheHostsApplicationAlone) {
  Host host;
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  ASSERT_TRUE(Initialize(plugin.Get(), host));
  ASSERT_FALSE(OwnApplicationCurrent());
  leaked_plugins[1] = plugin.Detach();

  const ULONG references = host.application->References();
  const std::vector<std::string> calls = host.application->Calls();
  Unload();
  EXPECT_EQ(host.application->References(), references);
  EXPECT_EQ(host.application->Calls(), calls);

  // A fresh load starts with the module's own application object.
  tavolex::PluginLibrary again(HeadlessLibraryPath());
  auto driver = tavolex::Ref<tavolex::IHeadlessDriver>::Adopt(
      again.Entry<tavolex::GetHeadlessDriverFunction>(tavolex::kGetHeadlessDriverEntry)());
  VARIANT_BOOL own = VARIANT_FALSE;
  tavolex::Check(driver->GetOwnApplicationCurrent(&own));
  EXPECT_NE(own, VARIANT_FALSE);
  LONG boxes = -1;
  tavolex::Check(driver->GetBoxCount(&boxes));
  EXPECT_EQ(boxes, 0);
}

}  // namespace
}  // namespace tvx::test
