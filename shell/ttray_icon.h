#pragma once
// TTrayIcon: the program's one icon in the desktop's notification area
// (TrayIcon1). Its image is the live 16 x 16 miniature of the graph and its
// tooltip (Hint) the two current rates. Minimising the main window hides it
// into the icon. A click on the icon brings the window back, or hides it
// into the icon when it is shown; a double-click emits DblClick, which the
// window answers by coming back; the context menu, when one is set, offers
// the window's commands.
//
// Trays differ: XEmbed trays send a click before each double-click (so a
// click hides only once no double-click has followed), StatusNotifier trays
// never send a double-click. A window is hidden only while a notification
// area is there to bring it back from, and comes back by itself when the
// area goes.
//
// Each change reaches the tray once: UpdateIcon sends the image and the hint
// only when they differ from what the tray has (every signal makes a
// StatusNotifier host read the whole icon back).
//
// The icon is shown from construction (once it has an image) until Remove or
// destruction, where the desktop can show it at all.
//
// The main window is borrowed (a QPointer: it may go first); the presence
// is borrowed and outlives the icon; the icon is a child of whoever owns it,
// normally that window.
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include "image/color.h"
#include "image/surface.h"
#include "shell/tray_presence.h"

namespace plovex {

class TTrayIcon : public QSystemTrayIcon {
  Q_OBJECT

 public:
  // Tooltips longer than this are cut.
  static constexpr int kMaxHintLength = 127;

  TTrayIcon(QWidget* main_window, const QIcon& design_icon, TrayPresence& presence,
            QObject* parent);

  // A 16 x 16 icon from the bitmap in which every pixel of colour
  // `transparent` is transparent and every other keeps its colour; offered
  // at 16 and 32 pixels (2 x 2 blocks), made at any other size on request.
  // Always succeeds for a surface; false only for one of another size.
  static bool IconFromBitmap(const Surface& bitmap, QIcon& icon, Color transparent);

  // Sends the current image and hint to the notification area, each only
  // when the tray does not have it yet.
  void UpdateIcon();
  // Takes the icon out of the notification area for good.
  void Remove();
  void SetImage(const QIcon& image);
  const QIcon& Image() const { return image_; }
  // Stores the hint (cut to kMaxHintLength) and updates the icon.
  void SetHint(const QString& hint);
  const QString& Hint() const { return hint_; }

  // Shows the main window, normal if it was minimised, in front, focused.
  void ShowMainWindow();
  void HideMainWindow();
  // Shown and not minimised: what a click would hide.
  bool MainWindowShown() const;
  // A click's work: hides a shown window into the tray (where there is
  // one), else brings it back.
  void ToggleMainWindow();
  bool TrayAvailable() const { return presence_.Available(); }

  bool IconVisible = true;
  bool MinimizeToTray = true;

 signals:
  void DblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void Activated(QSystemTrayIcon::ActivationReason reason);
  void HideIfMinimized();
  void PresenceChanged();

 private:
  QPointer<QWidget> main_window_;
  TrayPresence& presence_;
  QIcon image_;
  // image_ at 16 x 16, made once per image: the hint changes as often as
  // the image, and each would otherwise render the icon again to compare.
  QImage face_;
  QString hint_ = "Plovex";
  bool image_sent_ = false;
  QImage sent_face_;             // the image the tray has, at 16 x 16
  bool hidden_in_tray_ = false;  // hidden by this icon, to be brought back
  QTimer pending_hide_;          // a click's hide, unless a double-click follows
};

}  // namespace plovex
