// Initialize with the hosts a module meets: a main form with or without IDirectoryAccess, or none;
// a directory that offers IDirectory, one that does not, or none at all.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module_host.h"

namespace tvx::test {
namespace {

constexpr char kNoDirectoryAccess[] = "Приложение не поддерживает интерфейс IDirectoryAccess";

struct InitializeCase {
  const char* name;
  Host::MainForm main_form;
  Host::Directory directory;
  // The outcome: Initialize's result, or the class and message of its failure.
  bool allow_load;
  const char* error_class;
  const char* error_message;
  // Error boxes shown, and whether the module holds the directory afterwards.
  std::vector<std::string> boxes;
  bool directory_held;
};

void PrintTo(const InitializeCase& c, std::ostream* out) { *out << c.name; }

const InitializeCase kCases[] = {
    {"Accepted",
     Host::MainForm::kWithDirectoryAccess,
     Host::Directory::kWithIDirectory,
     true,
     nullptr,
     nullptr,
     {},
     true},
    {"MainFormWithoutDirectoryAccess",
     Host::MainForm::kWithoutDirectoryAccess,
     Host::Directory::kWithIDirectory,
     false,
     nullptr,
     nullptr,
     {kNoDirectoryAccess},
     false},
    {"NoMainForm",
     Host::MainForm::kNone,
     Host::Directory::kWithIDirectory,
     false,
     nullptr,
     nullptr,
     {kNoDirectoryAccess},
     false},
    {"NoDirectory",
     Host::MainForm::kWithDirectoryAccess,
     Host::Directory::kNone,
     true,
     nullptr,
     nullptr,
     {},
     false},
    {"DirectoryWithoutIDirectory",
     Host::MainForm::kWithDirectoryAccess,
     Host::Directory::kWithoutIDirectory,
     false,
     "EIntfCastError",
     "Interface not supported",
     {},
     false},
};

class InitializeTest : public ModuleHostTest,
                       public ::testing::WithParamInterface<InitializeCase> {};

TEST_P(InitializeTest, HandsTheApplicationOverAndTakesTheDirectory) {
  const InitializeCase& c = GetParam();
  Host host(c.main_form, c.directory);
  const std::vector<ULONG> references = host.References();
  ASSERT_TRUE(OwnApplicationCurrent());

  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  for (std::size_t i = 0; i < c.boxes.size(); ++i) AnswerBox(tavolex::kResultOk);
  if (c.error_class == nullptr) {
    EXPECT_EQ(Initialize(plugin.Get(), host), c.allow_load);
  } else {
    try {
      Initialize(plugin.Get(), host);
      ADD_FAILURE() << "Initialize succeeded";
    } catch (const tavolex::ModuleError& error) {
      EXPECT_EQ(error.ClassName(), c.error_class);
      EXPECT_STREQ(error.what(), c.error_message);
      EXPECT_EQ(error.Status(), E_NOINTERFACE);
    }
  }

  // Whatever the outcome, the host's application object is the module's now: the module's boxes
  // are owned by the host's window.
  EXPECT_FALSE(OwnApplicationCurrent());
  std::vector<Box> expected_boxes;
  for (const std::string& text : c.boxes) {
    expected_boxes.push_back({tavolex::kBoxError, "Error", text, TestHostApplication::kWindow});
  }
  EXPECT_EQ(Boxes(), expected_boxes);
  // The directory is held only when it was taken; a temporary reference never outlives the call.
  EXPECT_EQ(host.directory->References(), references[2] + (c.directory_held ? 1 : 0));
  const bool asked = c.main_form == Host::MainForm::kWithDirectoryAccess;
  EXPECT_EQ(host.main_form->Calls(),
            asked ? std::vector<std::string>{"GetDirectory"} : std::vector<std::string>{});
  EXPECT_TRUE(host.directory->Calls().empty());

  plugin.Reset();
  EXPECT_TRUE(OwnApplicationCurrent());
  EXPECT_EQ(host.References(), references);
}

INSTANTIATE_TEST_SUITE_P(Hosts, InitializeTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<InitializeCase>& info) {
                           return info.param.name;
                         });

TEST_F(ModuleHostTest, InitializeWithoutAHostApplicationIsRefusedAndChangesNothing) {
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  VARIANT_BOOL allow = VARIANT_TRUE;
  EXPECT_EQ(plugin->Initialize(nullptr, nullptr, nullptr, &allow), E_POINTER);
  EXPECT_EQ(allow, VARIANT_FALSE);
  EXPECT_TRUE(OwnApplicationCurrent());
  EXPECT_TRUE(Boxes().empty());
}

// The host object reaches the plug-in, which holds it until the plug-in object is destroyed.
TEST_F(ModuleHostTest, TheHostObjectIsHeldWhileThePlugInObjectLives) {
  Host host;
  ComPtr<TestMainForm> host_object = MakeHostObject<TestMainForm>();
  tavolex::Ref<tavolex::IPlugin> plugin = NewPlugin();
  tavolex::Text file_name(std::string_view("Tavolex.plu"));
  VARIANT_BOOL allow = VARIANT_FALSE;
  tavolex::Check(
      plugin->Initialize(host_object.Get(), host.application.Get(), file_name.Get(), &allow));
  EXPECT_NE(allow, VARIANT_FALSE);
  EXPECT_EQ(host_object->References(), 2u);
  plugin.Reset();
  EXPECT_EQ(host_object->References(), 1u);
  EXPECT_TRUE(host_object->Calls().empty());
}

}  // namespace
}  // namespace tvx::test
