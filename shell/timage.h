#pragma once
// TImage: the 400 x 160 picture on the main window (Image1). It shows a
// Surface as it stands, wrapping the surface's pixels without copying them,
// and reports the mouse in picture coordinates; it never draws anything of
// its own. It takes the focus from the keyboard only (Tab), for the keys that
// open its menu. The surface is borrowed and must outlive the widget.
#include <QPoint>
#include <QWidget>

#include "image/surface.h"

namespace plovex {

class TImage : public QWidget {
  Q_OBJECT

 public:
  TImage(const Surface& picture, QWidget* parent);

  // The surface's pixels as an image sharing their memory; valid while the
  // surface is neither resized nor destroyed.
  QImage Wrapped() const;

 signals:
  // `at` in picture coordinates, `global` on the screen.
  void MouseDown(Qt::MouseButton button, QPoint at, QPoint global);
  void MouseMove(QPoint at, QPoint global);
  void MouseUp(Qt::MouseButton button, QPoint at, QPoint global);
  void DblClick();
  void ContextMenu(QPoint global);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // The Menu key and Shift+F10 open the menu over the picture.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const Surface& picture_;
};

}  // namespace plovex
