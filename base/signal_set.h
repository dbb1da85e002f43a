#pragma once
// The signal set that ends Plovex, and the check for a pending one:
// SIGTERM (a `kill`, a service stop), SIGINT (Ctrl+C) and SIGHUP (the
// terminal or the session went away). The window (shell/termination_signals.h,
// its Qt watcher) and the headless runner both block them and take them
// synchronously, so that none interrupts a tick or a file write; they must
// agree on the set.
#include <signal.h>

#include <array>

namespace plovex {

inline constexpr std::array<int, 3> kTerminationSignals{SIGTERM, SIGINT, SIGHUP};

// The set of kTerminationSignals.
sigset_t TerminationSignalSet();

// True when one of them is pending for the process or the calling thread.
bool TerminationSignalPending();

}  // namespace plovex
