// The instruments of the leak test: the counts follow objects and memory that the process makes
// and frees (under Wine too, where the system does not count them), and a leak of one object per
// cycle over the leak test's cycles goes far beyond its limits.
#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <vector>

#include "resource_usage.h"

namespace tvx::test {
namespace {

constexpr int kMeasuredCycles = 190;  // the leak test's cycles after its warm-up

TEST(ResourceUsageTest, CountsFollowWhatIsMadeAndFreed) {
  const ResourceUsage before = MeasureResources();
  std::vector<HBRUSH> brushes;
  for (int i = 0; i < 20; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  HWND child =
      CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr, nullptr);
  HMENU menu = CreateMenu();
  auto block = std::make_unique<char[]>(256 * 1024);
  block[0] = 1;
  const ResourceUsage during = MeasureResources();
  EXPECT_GE(during.gdi_objects - before.gdi_objects, 20);
  EXPECT_GE(during.user_objects - before.user_objects, 3);
  EXPECT_GE(during.heap_bytes - before.heap_bytes, 256 * 1024);

  block.reset();
  DestroyMenu(menu);
  DestroyWindow(child);
  DestroyWindow(window);
  for (HBRUSH brush : brushes) DeleteObject(brush);
  const ResourceUsage after = MeasureResources();
  EXPECT_EQ(after.gdi_objects, before.gdi_objects);
  EXPECT_EQ(after.user_objects, before.user_objects);
  EXPECT_LT(after.heap_bytes - before.heap_bytes, 16 * 1024);
}

TEST(ResourceUsageTest, OneObjectLeakedPerCycleExceedsTheLeakTestsLimits) {
  const ResourceUsage before = MeasureResources();
  std::vector<HBRUSH> brushes;
  std::vector<HWND> windows;
  std::vector<std::unique_ptr<char[]>> blocks;
  for (int cycle = 0; cycle < kMeasuredCycles; ++cycle) {
    brushes.push_back(CreateSolidBrush(RGB(cycle, 1, 1)));
    windows.push_back(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      nullptr, nullptr));
    blocks.push_back(std::make_unique<char[]>(1024));  // a small object of the module's
  }
  const ResourceUsage after = MeasureResources();
  for (HWND window : windows) DestroyWindow(window);
  for (HBRUSH brush : brushes) DeleteObject(brush);

  const std::string leaks = Leaks(before, after, kCycleLeakLimits);
  EXPECT_NE(leaks.find("GDI objects"), std::string::npos) << leaks;
  EXPECT_NE(leaks.find("USER objects"), std::string::npos) << leaks;
  EXPECT_NE(leaks.find("heap bytes"), std::string::npos) << leaks;
}

}  // namespace
}  // namespace tvx::test
