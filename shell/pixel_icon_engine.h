#pragma once
// PixelIconEngine: an icon drawn from one small image at whatever size it is
// asked for, by repeating pixels (nearest neighbour), never by blending them.
// The tray's 16 x 16 miniature stays crisp in a 22, 24 or 32 pixel slot and
// on a screen of two device pixels per pixel; a blended copy would smear its
// one-pixel samples and grey rows. Every pixel of a result is a pixel of the
// image, transparency included.
#include <QIconEngine>
#include <QImage>

namespace plovex {

class PixelIconEngine : public QIconEngine {
 public:
  explicit PixelIconEngine(QImage image);

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
  // Square: the smaller of the two sides. Sizes are device pixels, as the
  // icon asks its engine for them.
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
  QIconEngine* clone() const override;
  QString key() const override;
  bool isNull() override;

 private:
  QImage image_;
};

}  // namespace plovex
