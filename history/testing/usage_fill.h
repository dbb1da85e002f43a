#pragma once
// Fills a usage store with a plausible year up to `now` for the History
// window's tests: a daily swell and quieter weekends, in three times out.
// The last two days have a minute every five minutes; the year before, one
// minute an hour that carries the hour's bytes (the hour and day tiers then
// hold what a full year of minutes would have left in them).
#include <cstdint>

#include "base/status.h"
#include "history/usage_store.h"

namespace plovex {

// The rate in at `t`, in bytes per second: between 40 and 400 kB/s.
std::int64_t FilledRateIn(std::int64_t t);

Status FillUsageStore(UsageStore& store, const UsageKey& key, std::int64_t now);

}  // namespace plovex
