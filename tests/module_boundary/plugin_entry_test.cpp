// RegisterPlugin in both library files: new plug-in objects with the export plug-in's identity
// and its one command, read through the SDK only.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module_host.h"

namespace tvx::test {
namespace {

using tavolex::Ref;

// The command's Data: five lines joined by CR LF, no line break after the last.
constexpr char16_t kData[] =
    u"<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
    u"<plugin>\r\n"
    u"  <name>Экспорт в 1С</name>\r\n"
    u"  <type>MainForm</type>  \r\n"
    u"</plugin>";
// The same in Windows-1251, the Cyrillic letters spelled out as that code page has them.
constexpr char kDataBytes[] =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
    "<plugin>\r\n"
    "  <name>\xDD\xEA\xF1\xEF\xEE\xF0\xF2 \xE2 1\xD1</name>\r\n"
    "  <type>MainForm</type>  \r\n"
    "</plugin>";

std::u16string ReadUtf16(tavolex::IPluginCommand* command) {
  tavolex::Text text;
  tavolex::Check(command->GetData(text.Put()));
  return std::u16string(text.View());
}

std::vector<unsigned char> Bytes(SAFEARRAY* array) {
  std::vector<unsigned char> bytes;
  LONG lower = 0, upper = -1;
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 0);
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  const auto* begin = static_cast<const unsigned char*>(data);
  bytes.assign(begin, begin + (upper - lower + 1));
  SafeArrayUnaccessData(array);
  SafeArrayDestroy(array);
  return bytes;
}

class PluginEntryTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
#ifdef _WIN32
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
#endif
    library_ = std::make_unique<tavolex::PluginLibrary>(GetParam() ? HeadlessLibraryPath()
                                                                   : LibraryPath());
  }
  void TearDown() override {
    library_.reset();
#ifdef _WIN32
    CoUninitialize();
#endif
  }
  std::unique_ptr<tavolex::PluginLibrary> library_;
};

TEST_P(PluginEntryTest, EachCallCreatesANewPluginObjectWithTheIdentityTexts) {
  Ref<tavolex::IPlugin> first = library_->RegisterPlugin();
  Ref<tavolex::IPlugin> second = library_->RegisterPlugin();
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.Get(), second.Get());
  EXPECT_NE(first.Query<IUnknown>().Get(), second.Query<IUnknown>().Get());

  for (tavolex::IPlugin* plugin : {first.Get(), second.Get()}) {
    using P = tavolex::IPlugin;
    EXPECT_EQ(tavolex::ReadText(plugin, &P::GetPluginID), "Plugin.Norvalen.PlgTavolex");
    EXPECT_EQ(tavolex::ReadText(plugin, &P::GetDescription), "Plugin Description");
    EXPECT_EQ(tavolex::ReadText(plugin, &P::GetAuthor), "Norvalen");
    EXPECT_EQ(tavolex::ReadText(plugin, &P::GetCopyright), "Copyright (c) Norvalen");
    EXPECT_EQ(tavolex::ReadText(plugin, &P::GetPluginVersion), "");
    LONG instances = 0, commands = 0;
    tavolex::Check(plugin->GetInstanceCount(&instances));
    tavolex::Check(plugin->GetCommandCount(&commands));
    EXPECT_EQ(instances, 1);
    EXPECT_EQ(commands, 1);
  }
}

TEST_P(PluginEntryTest, TheOneCommandCarriesItsTextsDataShortCutAndEmptyPicture) {
  Ref<tavolex::IPlugin> plugin = library_->RegisterPlugin();
  Ref<tavolex::IPluginCommand> command;
  tavolex::Check(plugin->GetCommand(0, command.Put()));
  using C = tavolex::IPluginCommand;
  EXPECT_EQ(tavolex::ReadText(command.Get(), &C::GetName), "ExportData1C");
  EXPECT_EQ(tavolex::ReadText(command.Get(), &C::GetCaption), "Экспорт данных в 1С");
  EXPECT_EQ(tavolex::ReadText(command.Get(), &C::GetHint), "");
  EXPECT_EQ(ReadUtf16(command.Get()), kData);

  SAFEARRAY* bytes = nullptr;
  tavolex::Check(command->GetDataBytes(&bytes));
  const std::vector<unsigned char> expected(kDataBytes, kDataBytes + std::strlen(kDataBytes));
  EXPECT_EQ(Bytes(bytes), expected);

  USHORT short_cut = 0xFFFF;
  tavolex::Check(command->GetShortCut(&short_cut));
  EXPECT_EQ(short_cut, 0);

  LONG width = -1, height = -1;
  SAFEARRAY* pixels = nullptr;
  tavolex::Check(command->GetBitmap(&width, &height, &pixels));
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  EXPECT_TRUE(Bytes(pixels).empty());
}

TEST_P(PluginEntryTest, ACommandOutsideTheRangeFailsWithTheModulesMessage) {
  Ref<tavolex::IPlugin> plugin = library_->RegisterPlugin();
  for (const LONG index : {1, -1}) {
    tavolex::IPluginCommand* command = nullptr;
    try {
      tavolex::Check(plugin->GetCommand(index, &command));
      ADD_FAILURE() << "command " << index << " was found";
    } catch (const tavolex::ModuleError& error) {
      EXPECT_EQ(error.Status(), E_INVALIDARG);
      EXPECT_EQ(error.ClassName(), "EListError");
      EXPECT_STREQ(error.what(),
                   ("List index out of bounds (" + std::to_string(index) + ")").c_str());
    }
    EXPECT_EQ(command, nullptr);
  }
}

TEST_P(PluginEntryTest, ACommandHeldByTheHostKeepsItsPluginObjectAlive) {
  Ref<tavolex::IPlugin> plugin = library_->RegisterPlugin();
  Ref<tavolex::IPluginCommand> command;
  tavolex::Check(plugin->GetCommand(0, command.Put()));
  plugin.Reset();
  EXPECT_EQ(tavolex::ReadText(command.Get(), &tavolex::IPluginCommand::GetName), "ExportData1C");
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, PluginEntryTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Headless" : "Tavolex";
                         });

}  // namespace
}  // namespace tvx::test
