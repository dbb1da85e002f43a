#pragma once
// The usage store seen as graphs and tables: the bytes of the last day in
// 5-minute buckets, of the last week in 30-minute ones, of the last month in
// 2-hour ones and of the last year per local day; the last 31 local days and
// the last 12 billing periods as rows.
//
// Each view reads the finest tier that still holds its span: minutes for the
// day, hours for the month, days for the year. The week takes the minutes
// where they are kept (the last 48 hours) and the hours before them, each
// hour's bytes shared between its two half-hour buckets. Bucket edges are
// local: a 2-hour bucket begins on an even local hour, a day at local
// midnight, so the labels fall on round times.
//
// Reading never writes; a store that cannot be read gives its status.
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "history/usage_period.h"
#include "history/usage_store.h"

namespace plovex {

enum class UsageView { kDay, kWeek, kMonth, kYear };

struct UsageBucket {
  std::int64_t start = 0, end = 0;  // Unix seconds, [start, end)
  std::int64_t in_bytes = 0, out_bytes = 0;
  std::int64_t peak_in = 0, peak_out = 0;  // bytes per second, the fastest tick in it
};

struct UsageSeries {
  UsageView view = UsageView::kDay;
  std::int64_t now = 0;
  std::vector<UsageBucket> buckets;  // oldest first; the last one holds `now`
  // Over the view up to `now`, in bytes per second.
  std::int64_t average_in = 0, average_out = 0;
  std::int64_t peak_in = 0, peak_out = 0;
};

// The rate a bucket's bars show: its bytes over the part of it that has
// passed at `now` (the newest bucket is still filling).
std::int64_t AverageRate(const UsageBucket& bucket, std::int64_t bytes, std::int64_t now);

Result<UsageSeries> ReadSeries(UsageStore& store, const UsageKey& key, UsageView view,
                               std::int64_t now);

// Where the time labels of a view go: the bucket that begins at a round
// local time ("06:00", "Tue 8", "Dec 15", "Mar") and its text.
struct TimeLabel {
  int bucket = 0;
  std::string text;
};
std::vector<TimeLabel> TimeLabels(const UsageSeries& series);

// One row of the day or period table.
struct UsageRow {
  std::int64_t start = 0, end = 0;
  std::int64_t in_bytes = 0, out_bytes = 0;
  std::int64_t total() const { return in_bytes + out_bytes; }
};

struct UsageTables {
  std::vector<UsageRow> days;     // the last 31 local days, today first
  std::vector<UsageRow> periods;  // the last 12 billing periods, this one first
};

Result<UsageTables> ReadTables(UsageStore& store, const UsageKey& key, std::int64_t now,
                               int reset_day);

// "2026-12-08T14:05:00+01:00": local time with its offset.
std::string IsoLocal(std::int64_t t);
// "2026-12-08": the local date.
std::string LocalDate(std::int64_t t);

}  // namespace plovex
