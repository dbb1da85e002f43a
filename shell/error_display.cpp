#include "shell/error_display.h"

#include <exception>

#include "core/plovex_error.h"

namespace plovex {
namespace {

// The message of what handler throws; nullopt when it ran through.
std::optional<std::string> FailureOf(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

}  // namespace

ErrorDisplay::ErrorDisplay(QWidget* parent) : parent_(parent) {}

std::unique_ptr<QMessageBox> ErrorDisplay::MakeBox(QWidget* parent, const QString& caption,
                                                   const QString& text) {
  auto box =
      std::make_unique<QMessageBox>(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  return box;
}

// Shown outside the catch blocks: a presenter or a waiting box runs a nested
// event loop, and handlers that run inside it must not find an exception in
// flight.
void ErrorDisplay::Run(const std::function<void()>& handler) {
  if (const auto message = FailureOf(handler)) Present(*message, false);
}

void ErrorDisplay::RunTick(const std::function<void()>& tick,
                           const std::function<void(const std::string&)>& failed) {
  const std::optional<std::string> message = FailureOf(tick);
  if (!message) {
    tick_fault_.reset();
    return;
  }
  if (failed) failed(*message);
  if (message == tick_fault_) return;
  // A new fault that finds another message open is told by a later tick,
  // once that one is closed.
  if (Showing()) return;
  tick_fault_ = message;
  Present(*message, false);
}

void ErrorDisplay::Show(const std::string& message) { Present(message, false); }

void ErrorDisplay::ShowAndWait(const std::string& message) { Present(message, true); }

bool ErrorDisplay::Showing() const { return presenting_ || (box_ && box_->isVisible()); }

void ErrorDisplay::Dismiss() {
  if (box_) box_->done(QMessageBox::Ok);
}

void ErrorDisplay::Present(const std::string& message, bool wait) {
  if (Showing()) return;
  const QString text = QString::fromStdString(DisplayMessage(message));
  if (presenter_ || wait) {
    presenting_ = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{presenting_};
    if (presenter_) {
      presenter_("Plovex", text);
    } else {
      MakeBox(parent_, "Plovex", text)->exec();
    }
    return;
  }
  std::unique_ptr<QMessageBox> box = MakeBox(parent_, "Plovex", text);
  box->setObjectName("ErrorBox");
  box->setWindowModality(Qt::NonModal);
  QObject::connect(box.get(), &QDialog::finished, box.get(), &QObject::deleteLater);
  box_ = box.release();
  box_->show();
}

}  // namespace plovex
