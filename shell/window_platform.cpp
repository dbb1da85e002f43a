#include "shell/window_platform.h"

#include <QGuiApplication>

namespace plovex {
namespace {

class QtWindowPlatform : public WindowPlatform {
 public:
  QtWindowPlatform()
      : wayland_(QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {}

  bool PlacesWindows() const override { return !wayland_; }
  bool KeepsAbove() const override { return !wayland_; }
  bool StartSystemMove(QWindow& window) override { return window.startSystemMove(); }

 private:
  bool wayland_;
};

}  // namespace

std::unique_ptr<WindowPlatform> NewDesktopWindowPlatform() {
  return std::make_unique<QtWindowPlatform>();
}

}  // namespace plovex
