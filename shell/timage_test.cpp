#include "shell/timage.h"

#include <gtest/gtest.h>

#include <QImage>

namespace plovex {
namespace {

// One picture pixel shown on `ratio` x `ratio` device pixels must be a block
// of exactly its colour: a smoothed copy would blend neighbours at every edge.
TEST(TImage, AHighDensityScreenShowsEveryPixelAsABlockOfItsColour) {
  Surface picture(400, 160);
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 400; ++x)
      if ((x * 7 + y * 3) % 5 < 2) picture.SetPixel(x, y, Color(x % 256) | 0x8000 | Color(y) << 16);
  TImage image(picture, nullptr);
  EXPECT_EQ(image.size(), QSize(400, 160));  // logical: the screen scales it

  for (int ratio : {2, 3}) {
    QImage shown(400 * ratio, 160 * ratio, QImage::Format_RGB32);
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
