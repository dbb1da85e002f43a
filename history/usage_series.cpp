#include "history/usage_series.h"

#include <algorithm>
#include <ctime>
#include <iterator>

namespace plovex {

namespace {

struct ViewShape {
  std::int64_t bucket;  // seconds; 0 for local days
  int count;
};

ViewShape Shape(UsageView view) {
  switch (view) {
    case UsageView::kDay:
      return {300, 24 * 12};
    case UsageView::kWeek:
      return {1800, 7 * 48};
    case UsageView::kMonth:
      return {7200, 30 * 12};
    case UsageView::kYear:
      break;
  }
  return {0, 365};
}

std::tm LocalTm(std::int64_t t) {
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  return tm;
}

std::string Format(std::int64_t t, const char* format) {
  const std::tm tm = LocalTm(t);
  char buf[64];
  const std::size_t n = std::strftime(buf, sizeof buf, format, &tm);
  return std::string(buf, n);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && a < 0); }

// The start of the local day after the one that begins at `day_start`; days
// of 23 and 25 hours included.
std::int64_t NextDayStart(std::int64_t day_start) { return LocalDayStart(day_start + 30 * 3600); }

std::vector<UsageBucket> EmptyBuckets(UsageView view, std::int64_t now) {
  const ViewShape shape = Shape(view);
  std::vector<UsageBucket> buckets(static_cast<std::size_t>(shape.count));
  if (shape.bucket == 0) {
    std::int64_t start = LocalDayStart(now);
    for (auto it = buckets.rbegin(); it != buckets.rend(); ++it) {
      it->start = start;
      it->end = NextDayStart(start);
      start = LocalDayStart(start - 1);
    }
    return buckets;
  }
  // Aligned to the local clock as it reads now, so that a 2-hour bucket
  // begins on an even hour wherever the zone is.
  const std::int64_t offset = LocalTm(now).tm_gmtoff;
  const std::int64_t last = FloorDiv(now + offset, shape.bucket) * shape.bucket - offset;
  for (int i = 0; i < shape.count; ++i) {
    UsageBucket& b = buckets[static_cast<std::size_t>(i)];
    b.start = last - static_cast<std::int64_t>(shape.count - 1 - i) * shape.bucket;
    b.end = b.start + shape.bucket;
  }
  return buckets;
}

// Adds a slot of `length` seconds to the buckets it falls in; a slot longer
// than a bucket is shared evenly between the buckets it covers, its bytes
// kept whole.
void AddSlot(std::vector<UsageBucket>& buckets, const UsageMinute& slot, std::int64_t length) {
  const std::int64_t bucket_length = buckets.front().end - buckets.front().start;
  const std::int64_t pieces =
      length > bucket_length && bucket_length > 0 ? length / bucket_length : 1;
  for (std::int64_t k = 0; k < pieces; ++k) {
    const std::int64_t at = slot.start + k * (length / pieces);
    auto it = std::upper_bound(buckets.begin(), buckets.end(), at,
                               [](std::int64_t t, const UsageBucket& b) { return t < b.start; });
    if (it == buckets.begin()) continue;
    UsageBucket& b = *std::prev(it);
    if (at >= b.end) continue;
    const auto share = [&](std::int64_t bytes) {
      return bytes / pieces + (k < bytes % pieces ? 1 : 0);
    };
    b.in_bytes += share(slot.in_bytes);
    b.out_bytes += share(slot.out_bytes);
    b.peak_in = std::max(b.peak_in, slot.peak_in);
    b.peak_out = std::max(b.peak_out, slot.peak_out);
  }
}

Status AddTier(UsageStore& store, const UsageKey& key, UsageTier tier, std::int64_t from,
               std::int64_t to, std::vector<UsageBucket>& buckets) {
  if (from >= to) return Status();
  Result<std::vector<UsageMinute>> slots = store.Slots(key, tier, from, to);
  if (!slots.ok()) return slots.status();
  // A day slot is a bucket of its own, whatever its length in hours.
  const std::int64_t length = tier == UsageTier::kDay ? 0 : static_cast<std::int64_t>(tier);
  for (const UsageMinute& slot : *slots) AddSlot(buckets, slot, length);
  return Status();
}

}  // namespace

std::int64_t AverageRate(const UsageBucket& bucket, std::int64_t bytes, std::int64_t now) {
  const std::int64_t passed = std::min(bucket.end, now) - bucket.start;
  return bytes / std::max<std::int64_t>(passed, 1);
}

Result<UsageSeries> ReadSeries(UsageStore& store, const UsageKey& key, UsageView view,
                               std::int64_t now) {
  UsageSeries series;
  series.view = view;
  series.now = now;
  series.buckets = EmptyBuckets(view, now);
  const std::int64_t from = series.buckets.front().start;
  const std::int64_t to = series.buckets.back().end;
  Status read;
  switch (view) {
    case UsageView::kDay:
      read = AddTier(store, key, UsageTier::kMinute, from, to, series.buckets);
      break;
    case UsageView::kWeek: {
      // Minutes where they are kept, whole hours before: the cut is on an
      // hour that the minute tier holds entirely.
      const std::int64_t cut = std::max(from, -FloorDiv(kMinuteRetention - now, 3600) * 3600);
      read = AddTier(store, key, UsageTier::kHour, from, cut, series.buckets);
      if (read.ok()) read = AddTier(store, key, UsageTier::kMinute, cut, to, series.buckets);
      break;
    }
    case UsageView::kMonth:
      read = AddTier(store, key, UsageTier::kHour, from, to, series.buckets);
      break;
    case UsageView::kYear:
      read = AddTier(store, key, UsageTier::kDay, from, to, series.buckets);
      break;
  }
  if (!read.ok()) return read;
  std::int64_t in = 0, out = 0;
  for (const UsageBucket& b : series.buckets) {
    in += b.in_bytes;
    out += b.out_bytes;
    series.peak_in = std::max(series.peak_in, b.peak_in);
    series.peak_out = std::max(series.peak_out, b.peak_out);
  }
  const std::int64_t passed = std::max<std::int64_t>(now - from, 1);
  series.average_in = in / passed;
  series.average_out = out / passed;
  return series;
}

std::vector<TimeLabel> TimeLabels(const UsageSeries& series) {
  std::vector<TimeLabel> labels;
  std::tm before{};
  for (std::size_t i = 0; i < series.buckets.size(); ++i) {
    const std::int64_t start = series.buckets[i].start;
    const std::tm tm = LocalTm(start);
    // The first bucket has no predecessor to differ from: it gets no label,
    // which keeps a cut-off label from the left edge.
    const bool first = i == 0;
    const bool new_hour = !first && tm.tm_hour != before.tm_hour;
    const bool new_day = !first && tm.tm_yday != before.tm_yday;
    const bool new_month = !first && tm.tm_mon != before.tm_mon;
    before = tm;
    const char* format = nullptr;
    switch (series.view) {
      case UsageView::kDay:
        if (new_hour && tm.tm_hour % 4 == 0) format = "%H:00";
        break;
      case UsageView::kWeek:
        if (new_day) format = "%a %e";
        break;
      case UsageView::kMonth:
        if (new_day && (tm.tm_mday - 1) % 7 == 0) format = "%b %e";
        break;
      case UsageView::kYear:
        if (new_month) format = "%b";
        break;
    }
    if (format != nullptr) {
      std::string text = Format(start, format);
      // %e pads single days with a blank.
      text.erase(std::unique(text.begin(), text.end(),
                             [](char a, char b) { return a == ' ' && b == ' '; }),
                 text.end());
      labels.push_back({static_cast<int>(i), text});
    }
  }
  return labels;
}

Result<UsageTables> ReadTables(UsageStore& store, const UsageKey& key, std::int64_t now,
                               int reset_day) {
  UsageTables tables;
  Result<UsagePeriod> period = BillingPeriod(now, reset_day);
  if (!period.ok()) return period.status();
  for (int i = 0; i < 12; ++i) {
    tables.periods.push_back({period->start, period->end});
    period = BillingPeriod(period->start - 1, reset_day);
    if (!period.ok()) return period.status();
  }
  std::int64_t day = LocalDayStart(now);
  for (int i = 0; i < 31; ++i) {
    tables.days.push_back({day, NextDayStart(day)});
    day = LocalDayStart(day - 1);
  }
  const std::int64_t from = std::min(tables.periods.back().start, tables.days.back().start);
  Result<std::vector<UsageMinute>> slots =
      store.Slots(key, UsageTier::kDay, from, tables.days.front().end);
  if (!slots.ok()) return slots.status();
  for (const UsageMinute& slot : *slots) {
    for (std::vector<UsageRow>* rows : {&tables.days, &tables.periods}) {
      for (UsageRow& row : *rows) {
        if (slot.start >= row.start && slot.start < row.end) {
          row.in_bytes += slot.in_bytes;
          row.out_bytes += slot.out_bytes;
        }
      }
    }
  }
  return tables;
}

std::string IsoLocal(std::int64_t t) {
  // "+0100" becomes "+01:00", the offset as ISO 8601 writes it beside a
  // time with colons.
  const std::string zone = Format(t, "%z");
  const std::string minutes = zone.size() >= 2 ? zone.substr(zone.size() - 2) : std::string();
  return Format(t, "%Y-%m-%dT%H:%M:%S") + zone.substr(0, zone.size() - minutes.size()) + ":" +
         minutes;
}

std::string LocalDate(std::int64_t t) { return Format(t, "%Y-%m-%d"); }

}  // namespace plovex
