#pragma once
// The History window's export: the current view's buckets and the last 31
// local days as comma-separated text, each table under its own header row,
// times in ISO 8601 local time with their offset, bytes as whole numbers.
#include <string>

#include "history/usage_series.h"

namespace plovex {

std::string UsageCsv(const UsageKey& key, const UsageSeries& series, const UsageTables& tables);

}  // namespace plovex
