#include "shell/pixel_icon_engine.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace plovex {

PixelIconEngine::PixelIconEngine(QImage image) : image_(std::move(image)) {}

QSize PixelIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
  const int side = std::max(0, std::min(size.width(), size.height()));
  return {side, side};
}

QPixmap PixelIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
  const QSize actual = actualSize(size, mode, state);
  if (image_.isNull() || actual.isEmpty()) return QPixmap();
  return QPixmap::fromImage(image_.scaled(actual, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void PixelIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                            QIcon::State state) {
  // Made at the device size of the rectangle, so the painter copies it 1:1.
  const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  const QSize logical = actualSize(rect.size(), mode, state);
  const QPixmap p = pixmap(QSize(static_cast<int>(std::lround(logical.width() * scale)),
                                 static_cast<int>(std::lround(logical.height() * scale))),
                           mode, state);
  if (p.isNull()) return;
  QRect target(QPoint(0, 0), logical);
  target.moveCenter(rect.center());
  painter->save();
  painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter->drawPixmap(target, p);
  painter->restore();
}

QList<QSize> PixelIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
  // The miniature and its double: a StatusNotifier host reads every size
  // offered after each change, and scales the nearest itself. Any other size
  // is made on request as well.
  return {{16, 16}, {32, 32}};
}

QIconEngine* PixelIconEngine::clone() const { return new PixelIconEngine(image_); }

QString PixelIconEngine::key() const { return QStringLiteral("PixelIconEngine"); }

bool PixelIconEngine::isNull() { return image_.isNull(); }

}  // namespace plovex
