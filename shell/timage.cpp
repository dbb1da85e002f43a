#include "shell/timage.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <bit>

namespace plovex {

// A pixel 0x00BBGGRR lies in memory as the bytes R, G, B, 0 on a
// little-endian machine: Qt's byte-ordered RGBX, whose fourth byte Qt ignores.
static_assert(std::endian::native == std::endian::little,
              "the picture is wrapped as byte-ordered RGBX");

TImage::TImage(const Surface& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
  setObjectName("Image1");
  setFixedSize(picture.Width(), picture.Height());
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The menu's keys need the focus; a click gives none (it starts a drag).
  setFocusPolicy(Qt::TabFocus);
}

QImage TImage::Wrapped() const {
  return QImage(reinterpret_cast<const uchar*>(picture_.Pixels()), picture_.Width(),
                picture_.Height(), picture_.Width() * 4, QImage::Format_RGBX8888);
}

void TImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // On a screen of several device pixels per pixel each pixel becomes a
  // block of its colour: a smoothed picture would blur the one-pixel samples.
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  // The fourth byte of every pixel is 0, which the toolkit takes for an
  // alpha of 0 when the window's buffer has one (Wayland): the picture would
  // be drawn transparent. The copy is opaque (64,000 pixels, once a tick).
  p.drawImage(rect(), Wrapped().convertToFormat(QImage::Format_RGB32));
}

void TImage::mousePressEvent(QMouseEvent* event) {
  emit MouseDown(event->button(), event->position().toPoint(), event->globalPosition().toPoint());
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMove(event->position().toPoint(), event->globalPosition().toPoint());
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
  emit MouseUp(event->button(), event->position().toPoint(), event->globalPosition().toPoint());
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit DblClick();
}

void TImage::contextMenuEvent(QContextMenuEvent* event) {
  // From the keyboard, over the picture rather than wherever the pointer is.
  emit ContextMenu(event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(rect().center())
                                                                  : event->globalPos());
}

void TImage::keyPressEvent(QKeyEvent* event) {
  const bool menu_key = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
  const bool shift_f10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
  if (!menu_key && !shift_f10) {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  emit ContextMenu(mapToGlobal(rect().center()));
}

}  // namespace plovex
