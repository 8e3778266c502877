// A picture held in memory: width, height and 32-bit pixels (0xAARRGGBB), row by row from
// the top. Empty when new.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classes/persistent.h"

namespace tvx {

class TBitmap : public TPersistent {
  TVX_DECLARE_CLASS(TBitmap, TPersistent)

  TBitmap() = default;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  // Resizes; the pixels that remain inside keep their values, new ones are 0. Raises
  // EInvalidOperation for a negative size or one above 4096 on either side.
  void SetSize(int32_t width, int32_t height);
  void SetWidth(int32_t width) { SetSize(width, height_); }
  void SetHeight(int32_t height) { SetSize(width_, height); }

  // Raise EListError outside the picture.
  uint32_t Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, uint32_t color);
  const std::vector<uint32_t>& Pixels() const { return pixels_; }

  // The pixels as text, 8 hex digits each, row by row; how descriptions store a picture.
  // Setting raises EConvertError unless the text holds exactly Width*Height pixels.
  std::string PixelText() const;
  void SetPixelText(const std::string& text);

  // Copies another bitmap (null empties this one).
  void Assign(const TPersistent* source) override;

 protected:
  ~TBitmap() override = default;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace tvx
