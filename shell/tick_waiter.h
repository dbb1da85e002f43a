#pragma once
// TickWaiter: how the headless runner waits between ticks. WaitUntil returns
// true when the deadline has come and false as soon as a stop is requested
// (SIGINT, SIGTERM or SIGHUP for the real SignalWaiter); without a deadline it waits
// for the stop alone. A stop requested while no one was waiting (during a
// tick) is not lost: the next wait returns false at once.
#include <chrono>
#include <optional>

#include "core/poll_interruption.h"

namespace plovex {

class TickWaiter {
 public:
  virtual ~TickWaiter() = default;
  virtual bool WaitUntil(std::optional<std::chrono::steady_clock::time_point> deadline) = 0;
};

// Blocks SIGINT, SIGTERM and SIGHUP for the process on construction (call it before
// any other thread exists) and takes them with sigtimedwait, so a signal is
// never handled asynchronously in the middle of a tick or a file write.
// As a PollInterruption it reports a stop signal that is pending, without
// taking it, so that a long poll ends early and the next wait sees the stop.
class SignalWaiter : public TickWaiter, public PollInterruption {
 public:
  SignalWaiter();
  bool WaitUntil(std::optional<std::chrono::steady_clock::time_point> deadline) override;
  bool Requested() const override;
};

}  // namespace plovex
