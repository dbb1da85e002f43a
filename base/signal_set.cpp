#include "base/signal_set.h"

namespace plovex {

sigset_t TerminationSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (const int sig : kTerminationSignals) sigaddset(&set, sig);
  return set;
}

bool TerminationSignalPending() {
  sigset_t pending;
  if (sigpending(&pending) != 0) return false;
  for (const int sig : kTerminationSignals) {
    if (sigismember(&pending, sig) == 1) return true;
  }
  return false;
}

}  // namespace plovex
