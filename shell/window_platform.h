#pragma once
// WindowPlatform: what the windowing system lets the program do with its own
// top-level window. X11 lets a program place its window, read back where it
// is and keep it above the others. Wayland leaves placement and stacking to
// the compositor and reports no position (a window reads back its decoration
// margins, such as -3, -30), but moves a window with the pointer when asked.
//
// A seam: the real one follows the toolkit's platform; tests give one that
// records the moves it was asked for.
#include <QWindow>
#include <memory>

namespace plovex {

class WindowPlatform {
 public:
  virtual ~WindowPlatform() = default;
  // Positions set on a top-level window are honoured and read back as set.
  virtual bool PlacesWindows() const = 0;
  // A request to keep the window above the others is honoured.
  virtual bool KeepsAbove() const = 0;
  // Hands the pointer to the window manager or compositor, which moves the
  // window until the button is released; no further pointer events come.
  // False when it cannot: the caller then moves the window itself.
  virtual bool StartSystemMove(QWindow& window) = 0;
};

// The platform the application runs on; call after the application exists.
std::unique_ptr<WindowPlatform> NewDesktopWindowPlatform();

}  // namespace plovex
