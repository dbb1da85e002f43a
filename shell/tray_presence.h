#pragma once
// TrayPresence: whether the desktop has a notification area for the tray
// icon now, and by which protocol the toolkit talks to it. A window may hide
// into the icon only while the area is there; when it goes, Changed tells,
// so that a hidden window can come back.
//
// A seam: the real one (DesktopTrayPresence) watches the session bus and the
// X11 tray selection; tests give one they switch by hand.
#include <QObject>

namespace plovex {

class TrayPresence : public QObject {
  Q_OBJECT

 public:
  enum class Protocol {
    kNone,            // nothing will ever show the icon (Wayland without a watcher)
    kStatusNotifier,  // StatusNotifierItem over D-Bus
    kXEmbed,          // the X11 tray selection
  };

  using QObject::QObject;
  // Fixed for the run: the toolkit chooses its protocol once.
  virtual Protocol TrayProtocol() const = 0;
  // A notification area is there to show the icon now.
  virtual bool Available() const = 0;

 signals:
  void Changed();
};

}  // namespace plovex
