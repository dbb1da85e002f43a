#include "shell/error_display.h"

#include <exception>

#include "core/plovex_error.h"

namespace plovex {

ErrorDisplay::ErrorDisplay(QWidget* parent) : parent_(parent) {
  presenter_ = [this](const QString& caption, const QString& text) {
    MakeBox(parent_, caption, text)->exec();
  };
}

std::unique_ptr<QMessageBox> ErrorDisplay::MakeBox(QWidget* parent, const QString& caption,
                                                   const QString& text) {
  auto box =
      std::make_unique<QMessageBox>(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  return box;
}

void ErrorDisplay::Run(const std::function<void()>& handler) {
  std::string message;
  try {
    handler();
    return;
  } catch (const std::exception& e) {
    message = e.what();
  }
  // Shown outside the catch block: the box runs a modal loop, and handlers
  // that run inside it must not find an exception in flight.
  Show(message);
}

void ErrorDisplay::Show(const std::string& message) {
  if (showing_) return;
  showing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{showing_};
  presenter_("Plovex", QString::fromStdString(DisplayMessage(message)));
}

}  // namespace plovex
