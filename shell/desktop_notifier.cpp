#include "shell/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace plovex {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The desktop entry and the icon installed with it (data/plovex.desktop).
const QString kDesktopEntry = QStringLiteral("plovex");
// Let the server choose how long a notice stays.
constexpr int kServerTimeout = -1;

}  // namespace

DesktopNotifier::DesktopNotifier(std::function<void()> show_window, QObject* parent)
    : QObject(parent), show_window_(std::move(show_window)) {}

bool DesktopNotifier::Listening() {
  if (listening_) return true;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  // Any sender: the service may be started or replaced while Plovex runs;
  // only the ids it gave us are acted upon.
  bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
              SLOT(ActionInvoked(uint, QString)));
  bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
              SLOT(NotificationClosed(uint, uint)));
  listening_ = true;
  return true;
}

void DesktopNotifier::Show(const Notice& notice) {
  Slot& slot = slots_[static_cast<std::size_t>(notice.kind)];
  if (slot.in_flight) {
    // Sent when the id of the one before is known, so that it replaces it.
    slot.queued = notice;
    return;
  }
  Send(notice);
}

void DesktopNotifier::Send(const Notice& notice) {
  if (!Listening()) return;
  const auto index = static_cast<std::size_t>(notice.kind);
  Slot& slot = slots_[index];
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), kDesktopEntry);
  call << QStringLiteral("Plovex") << slot.id << kDesktopEntry
       << QString::fromStdString(notice.summary) << QString::fromStdString(notice.body)
       << QStringList{QStringLiteral("default"), QStringLiteral("Show Plovex")} << hints
       << kServerTimeout;
  slot.in_flight = true;
  auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, index](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            Slot& s = slots_[index];
            const QDBusPendingReply<uint> reply = *w;
            // No service, or one that failed: nothing is shown, nothing said.
            s.id = reply.isValid() ? reply.value() : 0;
            s.in_flight = false;
            if (s.queued) {
              const Notice next = std::move(*s.queued);
              s.queued.reset();
              Send(next);
            }
          });
}

void DesktopNotifier::ActionInvoked(uint id, const QString& action) {
  if (id == 0 || action != QLatin1String("default")) return;
  for (const Slot& slot : slots_) {
    if (slot.id == id) {
      if (show_window_) show_window_();
      return;
    }
  }
}

void DesktopNotifier::NotificationClosed(uint id, uint /*reason*/) {
  if (id == 0) return;
  for (Slot& slot : slots_) {
    // A closed notification cannot be replaced: the next one is new.
    if (slot.id == id) slot.id = 0;
  }
}

}  // namespace plovex
