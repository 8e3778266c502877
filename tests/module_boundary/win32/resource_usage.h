// What the process holds: GDI and USER objects, and memory. Windows counts the objects itself
// (GetGuiResources); Wine does not (the call answers 0), so under Wine they are counted from
// what Wine keeps: the process's GDI handle table, and the USER handles that are windows or
// menus of this process.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

namespace tvx::test {

struct ResourceUsage {
  long gdi_objects = 0;
  long user_objects = 0;
  // Bytes in use in the blocks of every heap of the process (the C run time's included).
  long long heap_bytes = 0;
  // Memory committed to the process alone (PrivateUsage; under Wine, which leaves that 0,
  // PagefileUsage, the same quantity on Windows).
  long long private_bytes = 0;
};

ResourceUsage MeasureResources();

// How much a count may grow over a run without being taken for a leak.
struct LeakLimits {
  long gdi_objects = 0;
  long user_objects = 0;
  long long heap_bytes = 0;
  long long private_bytes = 0;
};
// The limits over the cycles of the windowed module's test that follow its warm-up.
inline constexpr LeakLimits kCycleLeakLimits{4, 4, 64 * 1024, 4 * 1024 * 1024};

// What grew from before to after beyond the limits, one line per count; empty when nothing did.
std::string Leaks(const ResourceUsage& before, const ResourceUsage& after,
                  const LeakLimits& limits);

std::ostream& operator<<(std::ostream& out, const ResourceUsage& usage);

}  // namespace tvx::test
