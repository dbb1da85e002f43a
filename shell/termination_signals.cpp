#include "shell/termination_signals.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "base/signal_set.h"

namespace plovex {

TerminationSignals::TerminationSignals() {
  const sigset_t set = TerminationSignalSet();
  if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return;
  fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (fd_ < 0) pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

TerminationSignals::~TerminationSignals() {
  if (fd_ >= 0) close(fd_);
}

void TerminationSignals::OnSignal(QObject* owner, std::function<void()> handler) {
  handler_ = std::move(handler);
  if (fd_ < 0 || notifier_ || owner == nullptr) return;
  // Owned by `owner`, so that it goes before the application does.
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, owner);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Arrived);
}

void TerminationSignals::Arrived() {
  signalfd_siginfo info;
  while (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
  }
  if (handler_) handler_();
}

}  // namespace plovex
