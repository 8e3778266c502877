#include <gtest/gtest.h>

#include "classes/bitmap.h"
#include "classes/description.h"
#include "rtl/exceptions.h"

namespace tvx::test {
namespace {

TEST(Bitmap, IsEmptyWhenNewAndKeepsItsPixelsWhenResized) {
  TOwned<TBitmap> bitmap = CreateOwned<TBitmap>();
  EXPECT_TRUE(bitmap->Empty());
  bitmap->SetSize(2, 2);
  bitmap->SetPixel(1, 1, 0xFF112233u);
  bitmap->SetSize(3, 2);
  EXPECT_EQ(bitmap->Pixel(1, 1), 0xFF112233u);
  EXPECT_EQ(bitmap->Pixel(2, 1), 0u);
  EXPECT_THROW(bitmap->Pixel(3, 0), EListError);
  EXPECT_THROW(bitmap->SetSize(-1, 2), EInvalidOperation);
}

TEST(Bitmap, AssignCopiesThePictureAndNothingEmptiesIt) {
  TOwned<TBitmap> source = CreateOwned<TBitmap>();
  source->SetSize(2, 1);
  source->SetPixelText(
      "FF000000"
      "00ff00ff");
  TOwned<TBitmap> copy = CreateOwned<TBitmap>();
  copy->Assign(source.get());
  source->SetPixel(0, 0, 1);
  EXPECT_EQ(copy->Width(), 2);
  EXPECT_EQ(copy->PixelText(), "FF00000000FF00FF");
  copy->Assign(nullptr);
  EXPECT_TRUE(copy->Empty());
}

TEST(Bitmap, PixelTextMustFitTheSize) {
  TOwned<TBitmap> bitmap = CreateOwned<TBitmap>();
  bitmap->SetSize(1, 1);
  EXPECT_THROW(bitmap->SetPixelText("FF00000"), EConvertError);
  EXPECT_THROW(bitmap->SetPixelText("FF00000G"), EConvertError);
  bitmap->SetPixelText("0000000a");
  EXPECT_EQ(bitmap->Pixel(0, 0), 10u);
}

}  // namespace
}  // namespace tvx::test
