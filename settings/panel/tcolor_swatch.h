#pragma once
// TColorSwatch: a square filled with one colour and outlined in black, the
// panel's picture of a bar colour. It holds the colour as the settings do
// (0x00BBGGRR, system-colour bits included, returned unchanged) and paints
// its low 24 bits, which is what the graph draws.
#include <QWidget>

#include "image/color.h"

namespace plovex {

class TColorSwatch : public QWidget {
  Q_OBJECT

 public:
  explicit TColorSwatch(QWidget* parent);

  Color Fill() const { return fill_; }
  void SetFill(Color c);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Color fill_ = kWhite;
};

// Conversions between the settings' colour layout and Qt's.
QColor ToQColor(Color c);
Color FromQColor(const QColor& c);

}  // namespace plovex
