// The version resource of each library file, read with the system's version API: the project's
// version as file and product version, and the names and copyright the plug-in object declares.
#include <string>

#include <gtest/gtest.h>

#include "tavolex/host.h"

namespace tvx::test {
namespace {

std::string LoaderPath(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows) c = c == '/' ? '\\' : c;
  return windows;
}

class VersionResource {
 public:
  explicit VersionResource(const std::string& path) {
    const std::u16string wide = tavolex::ToUtf16(LoaderPath(path));
    const auto* name = reinterpret_cast<const wchar_t*>(wide.c_str());
    DWORD ignored = 0;
    data_.resize(GetFileVersionInfoSizeW(name, &ignored));
    if (!data_.empty() &&
        !GetFileVersionInfoW(name, 0, static_cast<DWORD>(data_.size()), data_.data())) {
      data_.clear();
    }
  }
  bool Found() const { return !data_.empty(); }

  const VS_FIXEDFILEINFO* Fixed() {
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(data_.data(), L"\\", &value, &size) || size < sizeof(VS_FIXEDFILEINFO)) {
      return nullptr;
    }
    return static_cast<const VS_FIXEDFILEINFO*>(value);
  }
  // A value of the US English, UTF-16 string table.
  std::string Text(const char* key) {
    const std::u16string path = u"\\StringFileInfo\\040904B0\\" + tavolex::ToUtf16(key);
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(data_.data(), reinterpret_cast<const wchar_t*>(path.c_str()), &value,
                        &size)) {
      return "(none)";
    }
    return tavolex::ToUtf8(static_cast<const char16_t*>(value));
  }

 private:
  std::string data_;
};

struct LibraryFile {
  const char* path;
  const char* file_name;
};

class VersionResourceTest : public ::testing::TestWithParam<LibraryFile> {};

TEST_P(VersionResourceTest, CarriesTheProjectsVersionAndThePlugInsNames) {
  VersionResource resource(GetParam().path);
  ASSERT_TRUE(resource.Found()) << GetParam().path;
  const VS_FIXEDFILEINFO* fixed = resource.Fixed();
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS,
            static_cast<DWORD>(MAKELONG(TAVOLEX_VERSION_MINOR, TAVOLEX_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, TAVOLEX_VERSION_PATCH)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(resource.Text("FileVersion"), TAVOLEX_VERSION);
  EXPECT_EQ(resource.Text("ProductVersion"), TAVOLEX_VERSION);
  EXPECT_EQ(resource.Text("OriginalFilename"), GetParam().file_name);
  EXPECT_NE(resource.Text("FileDescription"), "(none)");

  // The copyright and the author are those the plug-in object declares (asked of the headless
  // module, which opens no window; both files hold the same plug-in).
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    tavolex::PluginLibrary library(LoaderPath(TAVOLEX_HEADLESS_LIBRARY));
    tavolex::Ref<tavolex::IPlugin> plugin = library.RegisterPlugin();
    EXPECT_EQ(resource.Text("LegalCopyright"),
              tavolex::ReadText(plugin.Get(), &tavolex::IPlugin::GetCopyright));
    EXPECT_EQ(resource.Text("CompanyName"),
              tavolex::ReadText(plugin.Get(), &tavolex::IPlugin::GetAuthor));
  }
  CoUninitialize();
}

INSTANTIATE_TEST_SUITE_P(Libraries, VersionResourceTest,
                         ::testing::Values(LibraryFile{TAVOLEX_LIBRARY, "Tavolex.plu"},
                                           LibraryFile{TAVOLEX_HEADLESS_LIBRARY,
                                                       "TavolexHeadless.plu"}),
                         [](const ::testing::TestParamInfo<LibraryFile>& info) {
                           return info.index == 0 ? std::string("Windowed")
                                                  : std::string("Headless");
                         });

}  // namespace
}  // namespace tvx::test
