// The fonts and brushes that the peers draw with, made once per distinct value and kept for
// the backend's lifetime (windows hold on to their fonts, so none is freed while shown).
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "ui/core/font.h"
#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

// A colour of the control layer as GDI takes it: system colours (high bit set) through
// GetSysColor.
COLORREF ColorRef(TColor color);

class GdiCache {
 public:
  GdiCache() = default;
  GdiCache(const GdiCache&) = delete;
  GdiCache& operator=(const GdiCache&) = delete;
  ~GdiCache();

  // The font that draws text as `font` describes it: its face, its height in pixels (already
  // scaled to the screen by the control layer), bold, italic, underline, strike-out, charset.
  HFONT Font(const TFont& font);
  // A solid brush of a colour; system colours use the system's shared brushes.
  HBRUSH Brush(TColor color);

 private:
  using FontKey = std::tuple<std::string, int32_t, uint32_t, int32_t>;
  std::map<FontKey, HFONT> fonts_;
  std::map<TColor, HBRUSH> brushes_;
};

}  // namespace tvx::win32
