#include "history/testing/usage_fill.h"

#include <cmath>
#include <ctime>
#include <vector>

namespace plovex {

std::int64_t FilledRateIn(std::int64_t t) {
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  const double hour = tm.tm_hour + tm.tm_min / 60.0;
  const double swell = 0.55 - 0.45 * std::cos((hour - 3) / 24 * 2 * M_PI);
  const double week = tm.tm_wday == 0 || tm.tm_wday == 6 ? 0.6 : 1.0;
  return static_cast<std::int64_t>(400000 * swell * week);
}

Status FillUsageStore(UsageStore& store, const UsageKey& key, std::int64_t now) {
  std::vector<UsageMinute> minutes;
  const std::int64_t recent = now - 2 * 86400;
  const auto add = [&](std::int64_t start, std::int64_t seconds) {
    const std::int64_t in = FilledRateIn(start);
    minutes.push_back({start, in * seconds, in / 3 * seconds, in * 2, in / 3 * 2});
  };
  for (std::int64_t t = (now - 365 * 86400) / 3600 * 3600; t < recent; t += 3600) add(t, 3600);
  for (std::int64_t t = recent / 300 * 300 + 300; t + 60 <= now; t += 300) add(t, 300);
  return store.Add(key, minutes, now);
}

}  // namespace plovex
