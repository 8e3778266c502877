// Keys as the control layer receives them: Windows virtual-key codes, so that a native
// backend passes its key messages through unchanged, and the state of the modifier keys.
#pragma once

#include <cstdint>

namespace tvx {

using KeyCode = std::uint16_t;

inline constexpr KeyCode kVkBack = 0x08;
inline constexpr KeyCode kVkTab = 0x09;
inline constexpr KeyCode kVkReturn = 0x0D;
inline constexpr KeyCode kVkEscape = 0x1B;
inline constexpr KeyCode kVkSpace = 0x20;
inline constexpr KeyCode kVkPrior = 0x21;
inline constexpr KeyCode kVkNext = 0x22;
inline constexpr KeyCode kVkEnd = 0x23;
inline constexpr KeyCode kVkHome = 0x24;
inline constexpr KeyCode kVkLeft = 0x25;
inline constexpr KeyCode kVkUp = 0x26;
inline constexpr KeyCode kVkRight = 0x27;
inline constexpr KeyCode kVkDown = 0x28;
inline constexpr KeyCode kVkInsert = 0x2D;
inline constexpr KeyCode kVkDelete = 0x2E;
inline constexpr KeyCode kVkF2 = 0x71;
inline constexpr KeyCode kVkF4 = 0x73;

struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  friend bool operator==(const ShiftState&, const ShiftState&) = default;
};

inline constexpr ShiftState kNoShift{};
inline constexpr ShiftState kShift{true, false, false};
inline constexpr ShiftState kCtrl{false, true, false};
inline constexpr ShiftState kAlt{false, false, true};

}  // namespace tvx
