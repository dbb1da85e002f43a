#pragma once
// The billing period: from the reset day's local midnight to the same day a
// month later, and what the usage store says of it.
#include <cstdint>
#include <string>

#include "base/status.h"
#include "history/usage_store.h"

namespace plovex {

constexpr int kFirstResetDay = 1;
constexpr int kLastResetDay = 28;  // every month has it

struct UsagePeriod {
  std::int64_t start = 0;  // Unix seconds of the local midnight that begins it
  std::int64_t end = 0;    // that of the next period
};

// The period that holds `now` for a reset day of 1 to 28; an error names any
// other day.
Result<UsagePeriod> BillingPeriod(std::int64_t now, int reset_day);

struct UsageReport {
  UsageKey key;
  UsagePeriod period;
  std::int64_t now = 0;
  std::int64_t in_bytes = 0, out_bytes = 0;  // this period
  std::int64_t today_in_bytes = 0, today_out_bytes = 0;
  std::int64_t cap_bytes = 0;        // 0: no cap
  std::int64_t left_bytes = 0;       // of the cap, never below 0; 0 without a cap
  int days_left = 0;                 // local days from today to the period's end, today included
  std::int64_t per_day_bytes = 0;    // left_bytes spread over days_left
  std::int64_t projected_bytes = 0;  // at the period's end, at this period's pace
  std::int64_t ever_in_bytes = 0, ever_out_bytes = 0;  // every byte recorded under the key
  std::int64_t total() const { return in_bytes + out_bytes; }
};

Result<UsageReport> ReadUsage(UsageStore& store, const UsageKey& key, std::int64_t now,
                              int reset_day, std::int64_t cap_bytes);

// What is left of the cap, per day and projected, from the bytes counted so
// far; ReadUsage ends with it, and so does a report that adds unwritten bytes.
void FigureTheCap(UsageReport& r);

// The "UsageCap" text: a whole number of bytes, 0 for none.
Result<std::int64_t> ParseCapBytes(const std::string& text);

// "12.3 GB": decimal units, as providers count caps.
std::string FormatBytes(std::int64_t bytes);

// The report in words, several lines, and as one JSON object with a newline.
std::string UsageText(const UsageReport& r);
std::string UsageJson(const UsageReport& r);

}  // namespace plovex
