#include "shell/desktop_tray_presence.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>

namespace plovex {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
constexpr std::chrono::milliseconds kXEmbedPollInterval{1000};

const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

// The toolkit's own test for its StatusNotifier tray: a watcher that says a
// host is registered.
bool WatcherWithAHost(const QDBusConnection& bus) {
  if (!bus.isConnected()) return false;
  QDBusInterface watcher(kWatcherService, kWatcherPath, kWatcherService, bus);
  return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

}  // namespace

DesktopTrayPresence::DesktopTrayPresence(QObject* parent) : TrayPresence(parent) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (WatcherWithAHost(bus)) {
    protocol_ = Protocol::kStatusNotifier;
    watcher_registered_ = true;
    auto* watcher = new QDBusServiceWatcher(
        kWatcherService, bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration,
        this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
      watcher_registered_ = true;
      emit Changed();
    });
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
      watcher_registered_ = false;
      emit Changed();
    });
  } else if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    protocol_ = Protocol::kXEmbed;
    // The X11 platform announces a new tray owner only through a signal in
    // no public header: ask who owns the selection now and then instead (one
    // short round trip to the X server).
    xembed_owned_ = QSystemTrayIcon::isSystemTrayAvailable();
    auto* poll = new QTimer(this);
    poll->setInterval(kXEmbedPollInterval);
    connect(poll, &QTimer::timeout, this, [this] {
      const bool owned = QSystemTrayIcon::isSystemTrayAvailable();
      if (owned == xembed_owned_) return;
      xembed_owned_ = owned;
      emit Changed();
    });
    poll->start();
  }
}

bool DesktopTrayPresence::Available() const {
  switch (protocol_) {
    case Protocol::kStatusNotifier:
      return watcher_registered_;
    case Protocol::kXEmbed:
      return QSystemTrayIcon::isSystemTrayAvailable();
    case Protocol::kNone:
      break;
  }
  return false;
}

}  // namespace plovex
