// The manifest that asks for version 6 of the common controls travels with the program that
// links the backend, and the backend's buttons are version 6 buttons (which answer
// BCM_GETIDEALSIZE; the system's older buttons do not). The system's libraries that the backend
// loads itself come from the system folder, never from the program's.
#include <gtest/gtest.h>

#include <string>

#include "probe_form.h"
#include "win32_fixture.h"

// After windows.h, which the fixture brings.
#include <commctrl.h>

namespace tvx::test {
namespace {

using VisualStylesTest = Win32Test;

TEST_F(VisualStylesTest, TheManifestIsAResourceAndTheButtonsAreVersion6Controls) {
  EXPECT_NE(FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24)),
            nullptr);
  EXPECT_TRUE(ui.Backend().Styles().Active());
  auto form = CreateOwned<TProbeForm>(nullptr);
  LRESULT v6 = 0;
  script.Then([&] {
    SIZE ideal{};
    v6 = SendMessageW(WindowOf(form->run), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    ClickButton(WindowOf(form->cancel));
  });
  form->ShowModal();
  EXPECT_NE(v6, 0);
  // Outside the backend's activation context the same class is the system's older button.
  HWND plain = CreateWindowExW(0, L"BUTTON", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  SIZE ideal{};
  EXPECT_EQ(SendMessageW(plain, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)), 0);
  DestroyWindow(plain);
}

std::wstring FolderOf(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  const std::wstring file(path, length);
  return file.substr(0, file.find_last_of(L'\\'));
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  return std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH));
}

// A library planted in the program's folder under the name of one that the backend loads at
// run time is what the default search order would find first; LoadSystemLibrary never takes
// it, and takes the system's own.
TEST(SystemLibraryTest, OnlyTheSystemFoldersLibrariesAreLoaded) {
  // (comctl32.dll is the side-by-side store's inside the backend's activation context.)
  HMODULE theme_library = win32::LoadSystemLibrary(L"uxtheme.dll");
  ASSERT_NE(theme_library, nullptr);
  EXPECT_EQ(_wcsicmp(FolderOf(theme_library).c_str(), SystemFolder().c_str()), 0);
  FreeLibrary(theme_library);
  const std::wstring planted_name = L"tavolex_planted_library.dll";
  const std::wstring planted = FolderOf(nullptr) + L"\\" + planted_name;
  ASSERT_TRUE(CopyFileW((SystemFolder() + L"\\msimg32.dll").c_str(), planted.c_str(), FALSE));
  HMODULE found_by_search = LoadLibraryW(planted_name.c_str());
  EXPECT_NE(found_by_search, nullptr) << "the default search takes the program's folder";
  if (found_by_search != nullptr) FreeLibrary(found_by_search);
  EXPECT_EQ(win32::LoadSystemLibrary(planted_name.c_str()), nullptr);
  DeleteFileW(planted.c_str());
}

}  // namespace
}  // namespace tvx::test
