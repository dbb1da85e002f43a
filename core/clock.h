#pragma once
// Clock: the wall clock as the tick reads it (local hour, minute and second,
// once per tick) and a steady clock for scheduling ticks. PosixClock is the
// real one; ManualClock (core/testing/manual_clock.h) is the in-memory double that
// tests set by hand. Reading a clock never fails.
#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>

namespace plovex {

struct LocalTime {
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..59 (60 on a leap second)
};

class Clock {
 public:
  virtual ~Clock() = default;
  // The local wall-clock time of day now.
  virtual LocalTime Local() const = 0;
  // A monotonic time point for deadlines; never goes backwards.
  virtual std::chrono::steady_clock::time_point Steady() const = 0;
  // The calendar time now, in seconds since the Unix epoch.
  virtual std::int64_t UnixSeconds() const { return static_cast<std::int64_t>(std::time(nullptr)); }
};

// The system's clocks: localtime_r of the current time, std::chrono::steady_clock.
class PosixClock : public Clock {
 public:
  LocalTime Local() const override;
  std::chrono::steady_clock::time_point Steady() const override;
};

}  // namespace plovex
