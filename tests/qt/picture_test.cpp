// The PNG writer, read back by Qt's own PNG reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <QImage>

#include "framework/picture.h"

namespace nuv::fw {
namespace {

QImage Decode(const std::vector<uint8_t>& png) {
  return QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
}

TEST(PictureTest, PngHoldsEveryPixel) {
  // Odd sizes, and colours whose bytes all differ, so that a swapped
  // channel, a row or column out of place or a filter byte astray shows.
  const Picture picture{3, 2, {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203}};
  const QImage image = Decode(EncodePng(picture));
  ASSERT_FALSE(image.isNull());
  ASSERT_EQ(image.width(), 3);
  ASSERT_EQ(image.height(), 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, picture.pixels[static_cast<size_t>(y * 3 + x)])
          << x << "," << y;
  }
}

TEST(PictureTest, NothingForAPictureItsPixelsDoNotFill) {
  EXPECT_TRUE(EncodePng(Picture{}).empty());
  EXPECT_TRUE(EncodePng(Picture{2, 2, {1, 2, 3}}).empty());
}

TEST(PictureTest, OneColourIsEveryPixelAlike) {
  EXPECT_TRUE((Picture{2, 1, {0xF0F0F0, 0xF0F0F0}}.IsOneColour()));
  EXPECT_FALSE((Picture{2, 1, {0xF0F0F0, 0xF0F0F1}}.IsOneColour()));
}

}  // namespace
}  // namespace nuv::fw
