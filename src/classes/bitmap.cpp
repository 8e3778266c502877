#include "classes/bitmap.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "classes/class_builder.h"
#include "rtl/exceptions.h"

namespace tvx {
namespace {

constexpr int32_t kMaxSide = 4096;
constexpr size_t kDigitsPerPixel = 8;

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

}  // namespace

TVX_IMPLEMENT_CLASS(TBitmap) {
  // Width and Height come first: the pixels are read for the size already set.
  TVX_PROPERTY(Width);
  TVX_PROPERTY(Height);
  c.Property("Pixels", &TBitmap::PixelText, &TBitmap::SetPixelText);
}

void TBitmap::SetSize(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) {
    throw EInvalidOperation("Invalid bitmap size " + std::to_string(width) + "x" +
                            std::to_string(height));
  }
  if (width == width_ && height == height_) return;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  for (int32_t y = 0; y < std::min(height, height_); ++y) {
    for (int32_t x = 0; x < std::min(width, width_); ++x) {
      pixels[static_cast<size_t>(y) * width + x] = pixels_[static_cast<size_t>(y) * width_ + x];
    }
  }
  pixels_ = std::move(pixels);
  width_ = width;
  height_ = height;
}

uint32_t TBitmap::Pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    throw EListError("Pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                     ") outside the bitmap");
  }
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void TBitmap::SetPixel(int32_t x, int32_t y, uint32_t color) {
  Pixel(x, y);  // checks the position
  pixels_[static_cast<size_t>(y) * width_ + x] = color;
}

std::string TBitmap::PixelText() const {
  std::string text;
  text.reserve(pixels_.size() * kDigitsPerPixel);
  char buffer[kDigitsPerPixel + 1];
  for (uint32_t pixel : pixels_) {
    std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(pixel));
    text += buffer;
  }
  return text;
}

void TBitmap::SetPixelText(const std::string& text) {
  if (text.size() != pixels_.size() * kDigitsPerPixel) {
    throw EConvertError("The pixels of a " + std::to_string(width_) + "x" +
                        std::to_string(height_) + " bitmap need " +
                        std::to_string(pixels_.size() * kDigitsPerPixel) + " hex digits, not " +
                        std::to_string(text.size()));
  }
  std::vector<uint32_t> pixels(pixels_.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) throw EConvertError("'" + std::string(1, text[i]) + "' is not a hex digit");
    uint32_t& pixel = pixels[i / kDigitsPerPixel];
    pixel = (pixel << 4) | static_cast<uint32_t>(digit);
  }
  pixels_ = std::move(pixels);
}

void TBitmap::Assign(const TPersistent* source) {
  if (source == nullptr) {
    SetSize(0, 0);
    return;
  }
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    width_ = bitmap->width_;
    height_ = bitmap->height_;
    pixels_ = bitmap->pixels_;
    return;
  }
  TPersistent::Assign(source);
}

}  // namespace tvx
