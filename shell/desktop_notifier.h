#pragma once
// DesktopNotifier: the tick's notices as desktop notifications, through the
// session bus's org.freedesktop.Notifications service, as "Plovex" with its
// icon. Each kind of notice keeps one notification: a newer one takes the
// place of the one still shown (replaces_id). Clicking a notification (its
// default action) calls `show_window`.
//
// Every call is asynchronous: Show returns at once and the tick never waits
// for the bus. Without a session bus or a notification service a notice is
// dropped without a word; the bus is looked at again only when the next
// notice is to be shown.
#include <QObject>
#include <array>
#include <functional>
#include <optional>

#include "core/notifier.h"

namespace plovex {

class DesktopNotifier : public QObject, public Notifier {
  Q_OBJECT

 public:
  explicit DesktopNotifier(std::function<void()> show_window, QObject* parent = nullptr);

  void Show(const Notice& notice) override;

 private slots:
  // The service's signals (connected by name: QtDBus knows no other way).
  void ActionInvoked(uint id, const QString& action);
  void NotificationClosed(uint id, uint reason);

 private:
  struct Slot {
    uint id = 0;                   // the notification shown for this kind, 0 for none
    bool in_flight = false;        // a Notify awaits its answer (and so the id)
    std::optional<Notice> queued;  // the newest notice that came meanwhile
  };
  void Send(const Notice& notice);
  bool Listening();

  std::function<void()> show_window_;
  std::array<Slot, kNoticeKinds> slots_;
  bool listening_ = false;
};

}  // namespace plovex
