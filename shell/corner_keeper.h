#pragma once
// CornerKeeper: keeps a re-created top-level window's outer corner (the
// corner of the frame the window manager draws) where the old window's was.
//
// Changing a window's flags (the border toggle, stay on top) makes a new
// native window. It learns its frame only once the window manager has framed
// it, the toolkit may place it by stale frame margins meanwhile, and some
// window managers never tell a frame at all. So after Keep the corner is
// checked at once and then every kInterval, and put right by moving the
// client by what the corner is off: a move of the client means the same to
// every window manager, a move of the frame does not.
//
// Promise: checking ends once the corner has been right at a check made at
// least 3 intervals after the first, or after kTries further checks, or as
// soon as the window may not be moved (hidden, being dragged, closing). It
// never moves a window that may not be moved. A new Keep replaces the corner
// kept so far.
//
// The window is a seam: the real one is a QWidget; tests give one whose
// window manager tells its frame late or never.
#include <QObject>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

namespace plovex {

class CornerKeeper : public QObject {
 public:
  static constexpr int kTries = 20;
  static constexpr std::chrono::milliseconds kInterval{50};

  // What the keeper sees of a window and does to it.
  class Window {
   public:
    virtual ~Window() = default;
    virtual bool Movable() const = 0;
    // The outer corner by the frame margins known so far.
    virtual QPoint FrameCorner() const = 0;
    virtual QPoint ClientCorner() const = 0;
    virtual void MoveClient(QPoint to) = 0;
  };

  // Keeps `window`'s corner while it is visible and `movable` says so; a
  // child of `window`.
  CornerKeeper(QWidget& window, std::function<bool()> movable);
  CornerKeeper(std::unique_ptr<Window> window, QObject* parent);

  void Keep(QPoint corner);
  // One check; the timer makes them.
  void Check();
  bool Keeping() const { return keeping_; }

 private:
  std::unique_ptr<Window> window_;
  QTimer timer_;
  QPoint corner_;
  int checks_ = 0;  // made for the corner kept now
  bool keeping_ = false;
};

}  // namespace plovex
