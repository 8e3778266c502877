#include "resource_usage.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which they build on.
#include <psapi.h>

#include <cstdint>
#include <sstream>
#include <vector>

namespace tvx::test {

namespace {

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Wine's GDI handles are numbers from 0x20 up to 0xFFFF in the low word (with a generation in
// the high word, which a handle without one matches): every one that names an object of this
// process is counted. (Its table of handles, which the process environment block points to,
// is there for 64-bit processes only.)
long CountWineGdiObjects() {
  long count = 0;
  for (std::uintptr_t value = 0x20; value <= 0xFFFF; ++value) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0) ++count;
  }
  return count;
}

// The windows of this process: top-level ones, message-only ones, and their children.
long CountWindows() {
  struct Count {
    DWORD process = GetCurrentProcessId();
    long windows = 0;
  } count;
  auto count_children = [](HWND, LPARAM param) CALLBACK -> BOOL {
    ++reinterpret_cast<Count*>(param)->windows;
    return TRUE;
  };
  auto count_tree = [count_children](HWND window, Count& c) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != c.process) return;
    ++c.windows;
    EnumChildWindows(window, count_children, reinterpret_cast<LPARAM>(&c));
  };
  struct Visit {
    decltype(count_tree)* tree;
    Count* count;
  } visit{&count_tree, &count};
  EnumWindows(
      [](HWND window, LPARAM param) CALLBACK -> BOOL {
        auto* v = reinterpret_cast<Visit*>(param);
        (*v->tree)(window, *v->count);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&visit));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    count_tree(window, count);
  }
  return count.windows;
}

// Wine's USER handles are even numbers from 0x20 up to 0xFFEE (each with a generation in the
// high word, which a handle without one matches). Counted: the windows of this process, and
// the menus, which only the process that made them sees.
long CountWineUserObjects() {
  long count = CountWindows();
  for (std::uintptr_t value = 0x20; value <= 0xFFEE; value += 2) {
    if (IsMenu(reinterpret_cast<HMENU>(value))) ++count;
  }
  return count;
}

long long HeapBytesInUse() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  long long bytes = 0;
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) bytes += entry.cbData;
    }
    HeapUnlock(heap);
  }
  return bytes;
}

}  // namespace

ResourceUsage MeasureResources() {
  ResourceUsage usage;
  HANDLE process = GetCurrentProcess();
  usage.gdi_objects = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
  usage.user_objects = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
  if (UnderWine() && usage.gdi_objects == 0 && usage.user_objects == 0) {
    usage.gdi_objects = CountWineGdiObjects();
    usage.user_objects = CountWineUserObjects();
  }
  usage.heap_bytes = HeapBytesInUse();
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory))) {
    usage.private_bytes = static_cast<long long>(memory.PrivateUsage != 0 ? memory.PrivateUsage
                                                                          : memory.PagefileUsage);
  }
  return usage;
}

std::string Leaks(const ResourceUsage& before, const ResourceUsage& after,
                  const LeakLimits& limits) {
  std::ostringstream out;
  auto check = [&](const char* what, long long was, long long is, long long limit) {
    if (is - was > limit) out << what << " grew by " << is - was << " (from " << was << ")\n";
  };
  check("GDI objects", before.gdi_objects, after.gdi_objects, limits.gdi_objects);
  check("USER objects", before.user_objects, after.user_objects, limits.user_objects);
  check("heap bytes in use", before.heap_bytes, after.heap_bytes, limits.heap_bytes);
  check("private bytes", before.private_bytes, after.private_bytes, limits.private_bytes);
  return out.str();
}

std::ostream& operator<<(std::ostream& out, const ResourceUsage& usage) {
  return out << usage.gdi_objects << " GDI objects, " << usage.user_objects << " USER objects, "
             << usage.heap_bytes << " heap bytes in use, " << usage.private_bytes
             << " private bytes";
}

}  // namespace tvx::test
