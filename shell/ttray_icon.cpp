#include "shell/ttray_icon.h"

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QStyleHints>

#include "shell/pixel_icon_engine.h"

namespace plovex {
namespace {

// What the tray compares: the icon at its own size.
QImage Face(const QIcon& icon) {
  return icon.isNull() ? QImage() : icon.pixmap(QSize(16, 16)).toImage();
}

}  // namespace

TTrayIcon::TTrayIcon(QWidget* main_window, const QIcon& design_icon, TrayPresence& presence,
                     QObject* parent)
    : QSystemTrayIcon(parent),
      main_window_(main_window),
      presence_(presence),
      image_(design_icon),
      face_(Face(design_icon)) {
  setObjectName("TrayIcon1");
  pending_hide_.setSingleShot(true);
  pending_hide_.setInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval());
  connect(&pending_hide_, &QTimer::timeout, this, [this] {
    if (MainWindowShown() && TrayAvailable()) HideMainWindow();
  });
  connect(this, &QSystemTrayIcon::activated, this, &TTrayIcon::Activated);
  connect(&presence_, &TrayPresence::Changed, this, &TTrayIcon::PresenceChanged);
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

void TTrayIcon::SetImage(const QIcon& image) {
  image_ = image;
  face_ = Face(image_);
}

void TTrayIcon::UpdateIcon() {
  if (!image_sent_ || face_ != sent_face_) {
    setIcon(image_);
    sent_face_ = face_;
    image_sent_ = true;
  }
  if (toolTip() != hint_) setToolTip(hint_);
  // An icon without an image cannot be shown; it appears with its first one.
  // Where nothing can ever show it, it is not offered at all.
  if (IconVisible && !isVisible() && !image_.isNull() &&
      presence_.TrayProtocol() != TrayPresence::Protocol::kNone) {
    show();
  }
}

void TTrayIcon::Remove() {
  IconVisible = false;
  pending_hide_.stop();
  hide();
}

void TTrayIcon::SetHint(const QString& hint) {
  hint_ = hint.left(kMaxHintLength);
  UpdateIcon();
}

void TTrayIcon::ShowMainWindow() {
  hidden_in_tray_ = false;
  pending_hide_.stop();
  if (!main_window_) return;
  if (main_window_->isMinimized()) {
    main_window_->setWindowState(main_window_->windowState() & ~Qt::WindowMinimized);
  }
  main_window_->show();
  main_window_->raise();
  main_window_->activateWindow();
}

void TTrayIcon::HideMainWindow() {
  if (!main_window_) return;
  hidden_in_tray_ = true;
  main_window_->hide();
}

bool TTrayIcon::MainWindowShown() const {
  return main_window_ && main_window_->isVisible() && !main_window_->isMinimized();
}

void TTrayIcon::ToggleMainWindow() {
  if (MainWindowShown() && TrayAvailable()) {
    HideMainWindow();
  } else {
    ShowMainWindow();
  }
}

void TTrayIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      // Shown at once; hidden only once it is clear that no double-click
      // (which shows) follows, so a double-click never flickers.
      if (MainWindowShown()) {
        if (!pending_hide_.isActive()) pending_hide_.start();
      } else {
        ShowMainWindow();
      }
      break;
    case QSystemTrayIcon::DoubleClick:
      pending_hide_.stop();
      emit DblClick();
      break;
    default:
      break;  // the context menu opens by itself
  }
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
  if (main_window_ && main_window_->isMinimized() && TrayAvailable()) {
    HideMainWindow();
    IconVisible = true;
    UpdateIcon();
  }
}

void TTrayIcon::PresenceChanged() {
  // A window hidden into a tray that has gone could never be brought back.
  if (hidden_in_tray_ && IconVisible && main_window_ && !main_window_->isVisible() &&
      !TrayAvailable()) {
    ShowMainWindow();
  }
}

}  // namespace plovex
