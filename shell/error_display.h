#pragma once
// ErrorDisplay: where the program's errors end up. Every handler bound to a
// control, a menu entry or the timer runs through Run, which is the one place
// that catches: a PlovexError (or any other std::exception) raised by the
// handler is shown to the user and the program carries on, so nothing ever
// propagates into the event loop.
//
// Showing: a modal critical message box captioned "Plovex" with the message
// as DisplayMessage gives it ("." appended when the text does not end in one).
// One box at a time: while a box is open (its modal loop keeps the timer
// running), further errors are dropped rather than stacked behind it.
//
// The presenter is a seam: tests replace the modal box with a recorder.
// The parent widget is borrowed and may go away first.
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

namespace plovex {

class ErrorDisplay {
 public:
  // Shows one message and returns when the user has dismissed it.
  using Presenter = std::function<void(const QString& caption, const QString& text)>;

  explicit ErrorDisplay(QWidget* parent);
  ErrorDisplay(const ErrorDisplay&) = delete;
  ErrorDisplay& operator=(const ErrorDisplay&) = delete;

  void SetPresenter(Presenter presenter) { presenter_ = std::move(presenter); }

  // Runs handler; shows what it throws. Never throws itself.
  void Run(const std::function<void()>& handler);

  // Shows `message` unless a message is already showing.
  void Show(const std::string& message);

  bool Showing() const { return showing_; }

  // The box the default presenter runs. Its text is plain text: messages
  // quote what the user typed or the hive held, which must never be taken
  // for markup.
  static std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, const QString& caption,
                                              const QString& text);

 private:
  QPointer<QWidget> parent_;
  Presenter presenter_;
  bool showing_ = false;
};

}  // namespace plovex
