#include "settings/panel/tcolor_swatch.h"

#include <QPainter>

namespace plovex {

TColorSwatch::TColorSwatch(QWidget* parent) : QWidget(parent) {}

void TColorSwatch::SetFill(Color c) {
  fill_ = c;
  update();
}

void TColorSwatch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(Qt::black);
  p.setBrush(ToQColor(fill_));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

Color FromQColor(const QColor& c) {
  return static_cast<Color>(c.red()) | static_cast<Color>(c.green()) << 8 |
         static_cast<Color>(c.blue()) << 16;
}

}  // namespace plovex
