#pragma once
// TerminationSignals: turns SIGTERM, SIGINT and SIGHUP (a session that ends,
// a `kill`, Ctrl+C in a terminal) into an ordinary close of the main window,
// so that the settings are saved as when the user closes it.
//
// The signals are blocked for the whole process and read from a signalfd in
// the event loop, so none ever interrupts a tick or a settings write. Create
// it before any thread is started (before the QApplication), and keep it as
// long as the event loop runs; the watcher it adds belongs to the window. If the signals cannot be
// set up, they keep their default action (the program ends without saving).
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

namespace plovex {

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  TerminationSignals();
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Starts watching (needs the application object); a signal then closes
  // `window` and, when it closed, ends the event loop.
  void CloseOnSignal(QWidget* window);

 private slots:
  void Arrived();

 private:
  int fd_ = -1;
  QPointer<QSocketNotifier> notifier_;
  QPointer<QWidget> window_;
};

}  // namespace plovex
