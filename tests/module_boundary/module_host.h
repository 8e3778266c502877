// A test host of the module: loads a module library through the SDK only (LoadLibrary on
// Windows, dlopen on Linux), hands it a host made of test objects, and plays the operator through
// the headless module's driver.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host_objects.h"
#include "tavolex/headless.h"
#include "tavolex/host.h"

namespace tvx::test {

// The libraries built beside the tests, as the platform's loader takes their paths.
std::string HeadlessLibraryPath();
std::string LibraryPath();

// A host's objects, wired as the host wishes: main form, directory, connection, server.
struct Host {
  enum class MainForm { kWithDirectoryAccess, kWithoutDirectoryAccess, kNone };
  enum class Directory { kWithIDirectory, kWithoutIDirectory, kNone };

  explicit Host(MainForm main_form_kind = MainForm::kWithDirectoryAccess,
                Directory directory_kind = Directory::kWithIDirectory);

  ComPtr<TestHostApplication> application;
  ComPtr<TestMainForm> main_form;
  ComPtr<TestDirectory> directory;
  ComPtr<TestConnection> connection;
  ComPtr<TestAppServer> server;

  // The references each object holds now, in the order of the members above.
  std::vector<ULONG> References() const;
};

struct Box {
  LONG kind = 0;
  std::string title;
  std::string text;
  tavolex::WindowHandleValue owner = 0;
  friend bool operator==(const Box&, const Box&) = default;
};
std::ostream& operator<<(std::ostream& out, const Box& box);

struct Window {
  std::string form;
  tavolex::WindowHandleValue owner = 0;
  friend bool operator==(const Window&, const Window&) = default;
};
std::ostream& operator<<(std::ostream& out, const Window& window);

class ModuleHostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  tavolex::PluginLibrary& Library() { return *library_; }
  tavolex::IHeadlessDriver* Driver() { return driver_.Get(); }
  // Releases the driver and unloads the module.
  void Unload();

  tavolex::Ref<tavolex::IPlugin> NewPlugin() { return library_->RegisterPlugin(); }
  // Initialize with host's application object; the allow-load result (throws as Check does).
  static bool Initialize(tavolex::IPlugin* plugin, const Host& host);
  // Runs the plug-in's first command: S_OK or kSilentAbort (throws as Check does).
  static HRESULT Execute(tavolex::IPlugin* plugin);

  // The operator's side, through the driver.
  void WhenModal(std::function<void(const std::string& form)> step);
  void AnswerBox(LONG answer);
  void Click(const std::string& control);
  std::string ControlText(const std::string& control);
  LONG ControlState(const std::string& control);
  void ProcessMessages();
  std::vector<Box> Boxes();
  std::vector<Window> Windows();
  bool OwnApplicationCurrent();
  LONG PendingSteps();
  LONG PostedCount();

 private:
  std::unique_ptr<tavolex::PluginLibrary> library_;
  tavolex::Ref<tavolex::IHeadlessDriver> driver_;
};

}  // namespace tvx::test
