#pragma once
// TerminationSignals: turns SIGTERM, SIGINT and SIGHUP (a session that ends,
// a `kill`, Ctrl+C in a terminal) into a call of the program's handler, which
// saves the settings and ends the program, whatever the save gives.
//
// The signals are blocked for the whole process and read from a signalfd in
// the event loop, so none ever interrupts a tick or a settings write. Create
// it before any thread is started (before the QApplication), and keep it as
// long as the event loop runs; the watcher it adds belongs to `owner`. If the
// signals cannot be set up, they keep their default action (the program ends
// without saving).
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <functional>

namespace plovex {

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  TerminationSignals();
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Starts watching (needs the application object); each signal then runs
  // `handler` in the event loop.
  void OnSignal(QObject* owner, std::function<void()> handler);

 private slots:
  void Arrived();

 private:
  int fd_ = -1;
  QPointer<QSocketNotifier> notifier_;
  std::function<void()> handler_;
};

}  // namespace plovex
