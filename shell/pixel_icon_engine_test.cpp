#include "shell/pixel_icon_engine.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QPainter>
#include <QSet>

namespace plovex {
namespace {

// Every pixel a colour of its own; a diagonal of transparent ones.
QImage Distinct16() {
  QImage image(16, 16, QImage::Format_ARGB32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      image.setPixel(x, y, x == y ? qRgba(0, 0, 0, 0) : qRgb(x * 16, y * 16, 255 - x * 8));
  return image;
}

QSet<QRgb> Colours(const QImage& image) {
  QSet<QRgb> colours;
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y)
    for (int x = 0; x < argb.width(); ++x) colours.insert(argb.pixel(x, y));
  return colours;
}

// Whole multiples of 16: each source pixel becomes a block of one colour.
void ExpectBlocks(const QImage& scaled, const QImage& source) {
  const QImage argb = scaled.convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(argb.width() % source.width(), 0);
  const int k = argb.width() / source.width();
  for (int y = 0; y < argb.height(); ++y)
    for (int x = 0; x < argb.width(); ++x)
      ASSERT_EQ(argb.pixel(x, y), source.pixel(x / k, y / k)) << x << "," << y << " at " << k;
}

TEST(PixelIconEngine, EverySizeRepeatsPixelsAndBlendsNone) {
  const QImage source = Distinct16();
  const QSet<QRgb> palette = Colours(source);
  const QIcon icon(new PixelIconEngine(source));
  for (int side : {16, 22, 24, 32, 48, 64, 256}) {
    const QImage got = icon.pixmap(QSize(side, side)).toImage();
    ASSERT_EQ(got.size(), QSize(side, side));
    // Nothing blended in, nothing dropped.
    EXPECT_EQ(Colours(got), palette) << side;
    if (side % 16 == 0) ExpectBlocks(got, source);
  }
  EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
  EXPECT_EQ(icon.actualSize(QSize(32, 20)), QSize(20, 20));
}

TEST(PixelIconEngine, PaintsAtTheDevicePixelsOfAHighDensityTarget) {
  const QImage source = Distinct16();
  const QIcon icon(new PixelIconEngine(source));
  // 16 x 16 logical pixels at two device pixels each.
  QImage target(32, 32, QImage::Format_ARGB32);
  target.setDevicePixelRatio(2);
  target.fill(Qt::transparent);
  {
    QPainter p(&target);
    icon.paint(&p, QRect(0, 0, 16, 16));
  }
  ExpectBlocks(target, source);

  // A pixmap asked for at a scale carries it, for a painter to copy 1:1.
  const QPixmap scaled = icon.pixmap(QSize(16, 16), 2.0);
  EXPECT_EQ(scaled.size(), QSize(32, 32));
  EXPECT_EQ(scaled.devicePixelRatio(), 2.0);
  ExpectBlocks(scaled.toImage(), source);
}

TEST(PixelIconEngine, ANonSquareSlotGetsASquareIconInItsMiddle) {
  const QImage source = Distinct16();
  QImage target(40, 32, QImage::Format_ARGB32);
  target.fill(Qt::transparent);
  {
    QPainter p(&target);
    QIcon(new PixelIconEngine(source)).paint(&p, target.rect());
  }
  EXPECT_EQ(target.copy(4, 0, 32, 32).convertToFormat(QImage::Format_ARGB32),
            source.scaled(32, 32));
  EXPECT_EQ(Colours(target.copy(0, 0, 4, 32)), QSet<QRgb>{qRgba(0, 0, 0, 0)});
  EXPECT_EQ(Colours(target.copy(36, 0, 4, 32)), QSet<QRgb>{qRgba(0, 0, 0, 0)});
}

TEST(PixelIconEngine, AnEmptyImageIsANullIcon) {
  const QIcon icon(new PixelIconEngine(QImage()));
  EXPECT_TRUE(icon.isNull());
  EXPECT_TRUE(icon.pixmap(16, 16).isNull());
}

}  // namespace
}  // namespace plovex
