// Plain values of the control layer: geometry, layout enumerations, colours and modal results.
#pragma once

#include <cstdint>

#include "classes/set.h"

namespace tvx {

// A native window handle as the control layer passes it around; 0 means none.
using WindowHandle = std::uintptr_t;

struct TPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Left, top, right and bottom edges; right and bottom lie just outside the area.
struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// Bounds of a control: position within its parent's client area (the screen for a
// form) and outer size.
struct TBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const TBounds&, const TBounds&) = default;
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Edges of the parent that a control keeps its distance to when the parent resizes.
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBevelShape {
  bsBox,
  bsFrame,
  bsTopLine,
  bsBottomLine,
  bsLeftLine,
  bsRightLine,
  bsSpacer
};
enum class TBevelStyle { bsLowered, bsRaised };

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;

enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};

// Colours: 0x00BBGGRR, or a system colour (high bit set, low byte the system index).
using TColor = std::int32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008u);
inline constexpr TColor clWindow = static_cast<TColor>(0x80000005u);
inline constexpr TColor clBtnFace = static_cast<TColor>(0x8000000Fu);
inline constexpr TColor clBtnShadow = static_cast<TColor>(0x80000010u);
inline constexpr TColor clBtnHighlight = static_cast<TColor>(0x80000014u);
inline constexpr TColor clHighlight = static_cast<TColor>(0x8000000Du);
inline constexpr TColor clHighlightText = static_cast<TColor>(0x8000000Eu);
inline constexpr TColor clGrayText = static_cast<TColor>(0x80000011u);

// The result with which a modal window or a message box ends.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

// a * m / d rounded to the nearest integer, halves away from zero (scaling of sizes).
constexpr std::int32_t MulDiv(std::int32_t a, std::int32_t m, std::int32_t d) {
  const std::int64_t product = static_cast<std::int64_t>(a) * m;
  const std::int64_t half = d / 2;
  return static_cast<std::int32_t>(product >= 0 ? (product + half) / d : (product - half) / d);
}

}  // namespace tvx
