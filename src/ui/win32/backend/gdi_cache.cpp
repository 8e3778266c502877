#include "ui/win32/backend/gdi_cache.h"

namespace tvx::win32 {

namespace {

bool IsSystemColor(TColor color) { return (static_cast<uint32_t>(color) & 0x80000000u) != 0; }

uint32_t StyleBits(TFontStyles style) {
  uint32_t bits = 0;
  for (TFontStyle s : {fsBold, fsItalic, fsUnderline, fsStrikeOut}) {
    if (style.Contains(s)) bits |= 1u << static_cast<unsigned>(s);
  }
  return bits;
}

}  // namespace

COLORREF ColorRef(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

GdiCache::~GdiCache() {
  for (auto& [key, font] : fonts_) DeleteObject(font);
  for (auto& [key, brush] : brushes_) {
    if (!IsSystemColor(key)) DeleteObject(brush);
  }
}

HFONT GdiCache::Font(const TFont& font) {
  const FontKey key{font.Name(), font.Height(), StyleBits(font.Style()), font.Charset()};
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
  const TFontStyles style = font.Style();
  HFONT handle = CreateFontW(font.Height(), 0, 0, 0, style.Contains(fsBold) ? FW_BOLD : FW_NORMAL,
                             style.Contains(fsItalic), style.Contains(fsUnderline),
                             style.Contains(fsStrikeOut), static_cast<BYTE>(font.Charset()),
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, Wide(font.Name()).c_str());
  if (handle == nullptr)
    handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  else
    fonts_.emplace(key, handle);
  return handle;
}

HBRUSH GdiCache::Brush(TColor color) {
  if (auto it = brushes_.find(color); it != brushes_.end()) return it->second;
  HBRUSH brush = IsSystemColor(color) ? GetSysColorBrush(static_cast<int>(color & 0xFF))
                                      : CreateSolidBrush(ColorRef(color));
  brushes_.emplace(color, brush);
  return brush;
}

}  // namespace tvx::win32
