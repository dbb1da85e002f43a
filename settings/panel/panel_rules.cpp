#include "settings/panel/panel_rules.h"

#include <algorithm>
#include <limits>

namespace plovex {

std::int64_t TimerPeriodMs(std::int32_t refresh) {
  if (refresh <= 0) return 0;
  // QTimer takes an int of milliseconds.
  constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
  return std::min<std::int64_t>(std::int64_t{refresh} * 1000, kLimit);
}

std::int16_t UpDownRange::Clamp(std::int64_t position) const {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(position, min, max));
}

}  // namespace plovex
