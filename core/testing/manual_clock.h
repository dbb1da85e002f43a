#pragma once
// ManualClock: an in-memory Clock for tests. Its local time and steady time
// stand still until the test sets or advances them.
#include "core/clock.h"

namespace plovex {

class ManualClock : public Clock {
 public:
  LocalTime Local() const override { return local_; }
  std::chrono::steady_clock::time_point Steady() const override { return steady_; }
  std::int64_t UnixSeconds() const override { return unix_; }
  void SetUnix(std::int64_t t) { unix_ = t; }

  void SetLocal(int hour, int minute, int second) { local_ = LocalTime{hour, minute, second}; }
  void Advance(std::chrono::steady_clock::duration d) { steady_ += d; }

 private:
  LocalTime local_{};
  std::int64_t unix_ = 0;
  std::chrono::steady_clock::time_point steady_{};
};

}  // namespace plovex
