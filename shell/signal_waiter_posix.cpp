#include <signal.h>

#include <cerrno>
#include <ctime>

#include "shell/tick_waiter.h"

#include "base/signal_set.h"

namespace plovex {

SignalWaiter::SignalWaiter() {
  const sigset_t set = TerminationSignalSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool SignalWaiter::Requested() const { return TerminationSignalPending(); }

bool SignalWaiter::WaitUntil(std::optional<std::chrono::steady_clock::time_point> deadline) {
  const sigset_t set = TerminationSignalSet();
  for (;;) {
    if (!deadline) {
      int sig = 0;
      if (sigwait(&set, &sig) == 0) return false;
      continue;
    }
    const auto left = *deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
      // Due: still honour a stop that is already pending.
      const timespec zero{0, 0};
      return sigtimedwait(&set, nullptr, &zero) < 0;
    }
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    const timespec wait{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    if (sigtimedwait(&set, nullptr, &wait) >= 0) return false;
    // EAGAIN: the time is up (checked again above); EINTR: another signal.
  }
}

}  // namespace plovex
