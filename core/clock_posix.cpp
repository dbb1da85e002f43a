#include <ctime>

#include "core/clock.h"

namespace plovex {

LocalTime PosixClock::Local() const {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  if (localtime_r(&now, &tm) == nullptr) return LocalTime{};
  return LocalTime{tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::chrono::steady_clock::time_point PosixClock::Steady() const {
  return std::chrono::steady_clock::now();
}

}  // namespace plovex
