#include "ui/core/font.h"

#include "classes/class_builder.h"

namespace tvx {

namespace {
constexpr int kDesignPixelsPerInch = 96;
const TEnumNames<TFontStyle> kFontStyleNames = {{"fsBold", fsBold},
                                                {"fsItalic", fsItalic},
                                                {"fsUnderline", fsUnderline},
                                                {"fsStrikeOut", fsStrikeOut}};
}  // namespace

TVX_IMPLEMENT_CLASS(TFont) {
  TVX_PROPERTY(Charset);
  TVX_PROPERTY(Color);
  TVX_PROPERTY(Height);
  TVX_PROPERTY(Name);
  TVX_PROPERTY(Size);
  TVX_NAMED_PROPERTY(Style, kFontStyleNames, "TFontStyles");
}

TFont::TFont() = default;

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetHeight(int32_t height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

int32_t TFont::Size() const {
  // Points from pixels, rounded to the nearest point.
  const int64_t scaled = static_cast<int64_t>(-height_) * 72;
  const int64_t half = scaled >= 0 ? kDesignPixelsPerInch / 2 : -kDesignPixelsPerInch / 2;
  return static_cast<int32_t>((scaled + half) / kDesignPixelsPerInch);
}

void TFont::SetSize(int32_t points) {
  const int64_t scaled = static_cast<int64_t>(points) * kDesignPixelsPerInch;
  const int64_t half = scaled >= 0 ? 36 : -36;
  SetHeight(static_cast<int32_t>(-(scaled + half) / 72));
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetCharset(int32_t charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

bool TFont::SameAs(const TFont& other) const {
  return name_ == other.name_ && height_ == other.height_ && color_ == other.color_ &&
         style_ == other.style_ && charset_ == other.charset_;
}

void TFont::Assign(const TPersistent* source) {
  const auto* font = dynamic_cast<const TFont*>(source);
  if (font == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (SameAs(*font)) return;
  name_ = font->name_;
  height_ = font->height_;
  color_ = font->color_;
  style_ = font->style_;
  charset_ = font->charset_;
  Changed();
}

void TFont::Changed() {
  if (on_change) on_change();
}

}  // namespace tvx
