#include "shell/timage.h"

#include <gtest/gtest.h>

#include <QImage>

namespace plovex {
namespace {

// One picture pixel shown on `ratio` x `ratio` device pixels must be a block
// of exactly its colour: a smoothed copy would blend neighbours at every edge.
TEST(TImage, EveryPixelIsShownOpaqueAsABlockOfItsColourAtAnyDensity) {
  Surface picture(400, 160);
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 400; ++x)
      if ((x * 7 + y * 3) % 5 < 2) picture.SetPixel(x, y, Color(x % 256) | 0x8000 | Color(y) << 16);
  TImage image(picture, nullptr);
  EXPECT_EQ(image.size(), QSize(400, 160));  // logical: the screen scales it

  // Wayland's window buffers have an alpha channel: the picture stays opaque
  // there too (the surface's fourth byte is 0, not an alpha of 0).
  for (auto [ratio, format] :
       {std::pair{1, QImage::Format_ARGB32_Premultiplied}, std::pair{2, QImage::Format_RGB32},
        std::pair{3, QImage::Format_ARGB32_Premultiplied}}) {
    QImage shown(400 * ratio, 160 * ratio, format);
    shown.setDevicePixelRatio(ratio);
    shown.fill(Qt::black);
    image.render(&shown);
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) {
        const Color c = picture.Pixel(x / ratio, y / ratio);
        ASSERT_EQ(shown.pixel(x, y), qRgb(RedOf(c), GreenOf(c), BlueOf(c)))
            << x << "," << y << " at " << ratio;
      }
  }
}

}  // namespace
}  // namespace plovex
