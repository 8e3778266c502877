// Key combinations of commands: the virtual-key code in the low byte, plus 0x2000 for Shift,
// 0x4000 for Ctrl and 0x8000 for Alt; 0 means none.
#pragma once

#include <cstdint>

namespace tvx {

using TShortCut = uint16_t;

inline constexpr TShortCut kShortCutShift = 0x2000;
inline constexpr TShortCut kShortCutCtrl = 0x4000;
inline constexpr TShortCut kShortCutAlt = 0x8000;

// The combination of a virtual-key code (0..255; any other code gives 0) and modifiers.
constexpr TShortCut ShortCutOf(uint16_t key, bool shift = false, bool ctrl = false,
                               bool alt = false) {
  if (key > 0xFF) return 0;
  TShortCut result = key;
  if (shift) result |= kShortCutShift;
  if (ctrl) result |= kShortCutCtrl;
  if (alt) result |= kShortCutAlt;
  return result;
}

}  // namespace tvx
