#pragma once
// TTrayIcon: the program's one icon in the desktop's notification area
// (TrayIcon1). Its image is the live 16 x 16 miniature of the graph and its
// tooltip (Hint) the two current rates. Minimising the main window hides it
// into the icon; a double-click on the icon emits DblClick, which the window
// answers by coming back.
//
// The icon is shown from construction (once it has an image) until Remove or
// destruction. Where the desktop
// offers no notification area, minimising leaves the window minimised and
// visible on the taskbar: a window hidden there could never be brought back.
//
// The main window is borrowed (a QPointer: it may go first); the icon is a
// child of whoever owns it, normally that window.
#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <functional>

#include "image/color.h"
#include "image/surface.h"

namespace plovex {

class TTrayIcon : public QSystemTrayIcon {
  Q_OBJECT

 public:
  // Tooltips longer than this are cut.
  static constexpr int kMaxHintLength = 127;

  TTrayIcon(QWidget* main_window, const QIcon& design_icon, QObject* parent);

  // A 16 x 16 icon from the bitmap in which every pixel of colour
  // `transparent` is transparent and every other keeps its colour. Always
  // succeeds for a surface; false only for one of another size.
  static bool IconFromBitmap(const Surface& bitmap, QIcon& icon, Color transparent);

  // Sends the current image and hint to the notification area.
  void UpdateIcon();
  // Takes the icon out of the notification area for good.
  void Remove();
  void SetImage(const QIcon& image) { image_ = image; }
  const QIcon& Image() const { return image_; }
  // Stores the hint (cut to kMaxHintLength) and updates the icon.
  void SetHint(const QString& hint);
  const QString& Hint() const { return hint_; }

  // Shows the main window, normal if it was minimised, in front, focused.
  void ShowMainWindow();
  void HideMainWindow();

  bool IconVisible = true;
  bool MinimizeToTray = true;
  // Whether a notification area is there to hide into; a seam for tests.
  std::function<bool()> TrayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;

 signals:
  void DblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void Activated(QSystemTrayIcon::ActivationReason reason);
  void HideIfMinimized();

 private:
  QPointer<QWidget> main_window_;
  QIcon image_;
  QString hint_ = "Plovex";
};

}  // namespace plovex
