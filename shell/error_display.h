#pragma once
// ErrorDisplay: where the program's errors end up. Every handler bound to a
// control, a menu entry or the timer runs through Run (a tick through
// RunTick), which is the one place that catches: a PlovexError (or any other
// std::exception) raised by the handler is shown to the user and the program
// carries on, so nothing ever propagates into the event loop.
//
// Showing: a critical message box captioned "Plovex" with the message as
// DisplayMessage gives it ("." appended when the text does not end in one).
// The box is modeless: while it is open the window stays usable and can
// always be closed (its close button, the window manager, "Close"), and the
// timer keeps running in the ordinary event loop. One box at a time: further
// errors while one is open are dropped rather than stacked behind it. Only
// the last words before the program ends (ShowAndWait) wait for the user.
//
// One message per fault: a tick that fails with the message the previous
// tick failed with is not shown again; the box comes back when the message
// changes or a tick ran through in between.
//
// The presenter is a seam: tests replace the box with a recorder, which
// counts as open while it runs. The parent widget is borrowed and may go away
// first; the open box is its child.
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace plovex {

class ErrorDisplay {
 public:
  // Shows one message; the message counts as open until it returns.
  using Presenter = std::function<void(const QString& caption, const QString& text)>;

  explicit ErrorDisplay(QWidget* parent);
  ErrorDisplay(const ErrorDisplay&) = delete;
  ErrorDisplay& operator=(const ErrorDisplay&) = delete;

  // Null: the real box again.
  void SetPresenter(Presenter presenter) { presenter_ = std::move(presenter); }

  // Runs handler; shows what it throws without waiting. Never throws itself.
  void Run(const std::function<void()>& handler);
  // Runs one tick; `failed` hears every failure's message (also a repeated
  // one), before a new one is shown.
  void RunTick(const std::function<void()>& tick,
               const std::function<void(const std::string&)>& failed);

  // Shows `message` unless a message is already showing.
  void Show(const std::string& message);
  // The same, but returns only once the message has been dismissed.
  void ShowAndWait(const std::string& message);

  bool Showing() const;
  // Closes the open box, if any (the program is ending).
  void Dismiss();

  // The box. Its text is plain text: messages quote what the user typed or
  // the hive held, which must never be taken for markup.
  static std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, const QString& caption,
                                              const QString& text);

 private:
  void Present(const std::string& message, bool wait);

  QPointer<QWidget> parent_;
  Presenter presenter_;
  QPointer<QMessageBox> box_;              // the modeless box while it exists
  bool presenting_ = false;                // inside the presenter or a waiting box
  std::optional<std::string> tick_fault_;  // shown, and every tick since failed so
};

}  // namespace plovex
