#pragma once
// A notification area that tests put there and take away by hand.
#include "shell/tray_presence.h"

namespace plovex {

class SwitchableTrayPresence : public TrayPresence {
 public:
  Protocol TrayProtocol() const override { return protocol; }
  bool Available() const override { return available; }
  // Puts the area there or takes it away, telling who listens.
  void Switch(bool now) {
    available = now;
    emit Changed();
  }

  Protocol protocol = Protocol::kStatusNotifier;
  bool available = false;
};

}  // namespace plovex
