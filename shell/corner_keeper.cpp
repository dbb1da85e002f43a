#include "shell/corner_keeper.h"

#include <QWindow>

namespace plovex {
namespace {

// Checks made before a right corner counts as settled: the first ones may
// see the margins of the window that was replaced.
constexpr int kSettleChecks = 3;

class WidgetWindow : public CornerKeeper::Window {
 public:
  WidgetWindow(QWidget& widget, std::function<bool()> movable)
      : widget_(widget), movable_(std::move(movable)) {}

  bool Movable() const override {
    return widget_.isVisible() && widget_.windowHandle() != nullptr && movable_();
  }
  QPoint FrameCorner() const override { return widget_.frameGeometry().topLeft(); }
  QPoint ClientCorner() const override { return widget_.geometry().topLeft(); }
  void MoveClient(QPoint to) override { widget_.windowHandle()->setPosition(to); }

 private:
  QWidget& widget_;
  std::function<bool()> movable_;
};

}  // namespace

CornerKeeper::CornerKeeper(QWidget& window, std::function<bool()> movable)
    : CornerKeeper(std::make_unique<WidgetWindow>(window, std::move(movable)), &window) {}

CornerKeeper::CornerKeeper(std::unique_ptr<Window> window, QObject* parent)
    : QObject(parent), window_(std::move(window)) {
  timer_.setSingleShot(true);
  timer_.setInterval(kInterval);
  connect(&timer_, &QTimer::timeout, this, &CornerKeeper::Check);
}

void CornerKeeper::Keep(QPoint corner) {
  corner_ = corner;
  checks_ = 0;
  keeping_ = true;
  Check();
}

void CornerKeeper::Check() {
  if (!keeping_) return;
  const int check = checks_++;
  keeping_ = false;
  if (!window_->Movable()) return;
  const QPoint off = window_->FrameCorner() - corner_;
  if (off.isNull()) {
    if (check >= kSettleChecks) return;
  } else {
    window_->MoveClient(window_->ClientCorner() - off);
  }
  if (check < kTries) {
    keeping_ = true;
    timer_.start();
  }
}

}  // namespace plovex
