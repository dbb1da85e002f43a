#include "shell/ttray_icon.h"

#include <QEvent>
#include <QImage>
#include <QPixmap>

#include "shell/pixel_icon_engine.h"

namespace plovex {

TTrayIcon::TTrayIcon(QWidget* main_window, const QIcon& design_icon, QObject* parent)
    : QSystemTrayIcon(parent), main_window_(main_window), image_(design_icon) {
  setObjectName("TrayIcon1");
  connect(this, &QSystemTrayIcon::activated, this, &TTrayIcon::Activated);
  if (main_window_) main_window_->installEventFilter(this);
  UpdateIcon();
}

bool TTrayIcon::IconFromBitmap(const Surface& bitmap, QIcon& icon, Color transparent) {
  if (bitmap.Width() != 16 || bitmap.Height() != 16) return false;
  QImage image(16, 16, QImage::Format_ARGB32);
  const Color key = transparent & 0xFFFFFF;
  for (int y = 0; y < 16; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < 16; ++x) {
      const Color c = bitmap.Pixel(x, y) & 0xFFFFFF;
      row[x] = c == key ? qRgba(0, 0, 0, 0) : qRgb(RedOf(c), GreenOf(c), BlueOf(c));
    }
  }
  // Scaled to the size the tray asks for without blending the pixels.
  icon = QIcon(new PixelIconEngine(std::move(image)));
  return true;
}

void TTrayIcon::UpdateIcon() {
  setIcon(image_);
  setToolTip(hint_);
  // An icon without an image cannot be shown; it appears with its first one.
  if (IconVisible && !isVisible() && !image_.isNull()) show();
}

void TTrayIcon::Remove() {
  IconVisible = false;
  hide();
}

void TTrayIcon::SetHint(const QString& hint) {
  hint_ = hint.left(kMaxHintLength);
  UpdateIcon();
}

void TTrayIcon::ShowMainWindow() {
  if (!main_window_) return;
  if (main_window_->isMinimized()) {
    main_window_->setWindowState(main_window_->windowState() & ~Qt::WindowMinimized);
  }
  main_window_->show();
  main_window_->raise();
  main_window_->activateWindow();
}

void TTrayIcon::HideMainWindow() {
  if (main_window_) main_window_->hide();
}

void TTrayIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
  if (reason == QSystemTrayIcon::DoubleClick) emit DblClick();
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event) {
  if (watched == main_window_ && event->type() == QEvent::WindowStateChange &&
      main_window_->isMinimized() && MinimizeToTray && TrayAvailable()) {
    // Hide once the minimise has been carried out, not inside it.
    QMetaObject::invokeMethod(this, &TTrayIcon::HideIfMinimized, Qt::QueuedConnection);
  }
  return QSystemTrayIcon::eventFilter(watched, event);
}

void TTrayIcon::HideIfMinimized() {
  if (main_window_ && main_window_->isMinimized()) {
    HideMainWindow();
    IconVisible = true;
    UpdateIcon();
  }
}

}  // namespace plovex
