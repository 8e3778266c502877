// The font of a control: name, height in pixels, colour and style.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classes/persistent.h"
#include "classes/set.h"
#include "ui/core/ui_types.h"

namespace tvx {

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

inline constexpr int32_t kDefaultCharset = 1;

class TFont : public TPersistent {
  TVX_DECLARE_CLASS(TFont, TPersistent)

  TFont();

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Height in pixels: negative for the height of the characters (the usual form), positive
  // for the height of the character cell.
  int32_t Height() const { return height_; }
  void SetHeight(int32_t height);
  // Size in points at the design resolution of 96 pixels per inch.
  int32_t Size() const;
  void SetSize(int32_t points);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  int32_t Charset() const { return charset_; }
  void SetCharset(int32_t charset);
  // The height of the characters in pixels, whichever way Height gives it.
  int32_t PixelHeight() const { return height_ < 0 ? -height_ : height_; }

  void Assign(const TPersistent* source) override;
  bool SameAs(const TFont& other) const;

  // Called after every change (set by the control that owns the font).
  std::function<void()> on_change;

 protected:
  ~TFont() override = default;

 private:
  void Changed();

  std::string name_ = "Tahoma";
  int32_t height_ = -11;
  TColor color_ = clWindowText;
  TFontStyles style_;
  int32_t charset_ = kDefaultCharset;
};

}  // namespace tvx
