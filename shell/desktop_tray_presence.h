#pragma once
// DesktopTrayPresence: the notification area of the running desktop. The
// toolkit speaks StatusNotifierItem when a StatusNotifierWatcher owns its
// name on the session bus as the first tray icon is made, and otherwise, on
// X11, XEmbed to whoever owns the tray selection; it never switches. So the
// area is there while that watcher is registered, or while the selection has
// an owner (asked every second: a tray that goes is noticed within one). Make it just before the
// tray icon, after the application.
#include "shell/tray_presence.h"

namespace plovex {

class DesktopTrayPresence : public TrayPresence {
  Q_OBJECT

 public:
  explicit DesktopTrayPresence(QObject* parent);

  Protocol TrayProtocol() const override { return protocol_; }
  bool Available() const override;

 private:
  Protocol protocol_ = Protocol::kNone;
  bool watcher_registered_ = false;
  bool xembed_owned_ = false;
};

}  // namespace plovex
