#include "history/usage_period.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace plovex {

namespace {

std::int64_t LocalMidnight(int year, int month0, int day) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month0;  // mktime carries months past December into the next year
  tm.tm_mday = day;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

// Local calendar days between two local midnights; a day of 23 or 25 hours
// still counts as one.
int DaysBetween(std::int64_t from, std::int64_t to) {
  return static_cast<int>(std::llround(static_cast<double>(to - from) / 86400.0));
}

std::string Iso(std::int64_t t) {
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S%z", &tm);
  return buf;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (const unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

Result<UsagePeriod> BillingPeriod(std::int64_t now, int reset_day) {
  if (reset_day < kFirstResetDay || reset_day > kLastResetDay) {
    return Status::InvalidArgument("UsageResetDay " + std::to_string(reset_day) +
                                   " is not a day from 1 to 28");
  }
  const std::time_t tt = static_cast<std::time_t>(now);
  std::tm tm{};
  localtime_r(&tt, &tm);
  const int year = tm.tm_year + 1900;
  const int month = tm.tm_mday >= reset_day ? tm.tm_mon : tm.tm_mon - 1;
  return UsagePeriod{LocalMidnight(year, month, reset_day),
                     LocalMidnight(year, month + 1, reset_day)};
}

Result<UsageReport> ReadUsage(UsageStore& store, const UsageKey& key, std::int64_t now,
                              int reset_day, std::int64_t cap_bytes) {
  Result<UsagePeriod> period = BillingPeriod(now, reset_day);
  if (!period.ok()) return period.status();
  UsageReport r;
  r.key = key;
  r.period = *period;
  r.now = now;
  r.cap_bytes = cap_bytes < 0 ? 0 : cap_bytes;
  Result<UsageTotals> used = store.Sum(key, r.period.start, r.period.end, now);
  if (!used.ok()) return used.status();
  const std::int64_t today = LocalDayStart(now);
  Result<UsageTotals> today_used = store.Sum(key, today, now + 1, now);
  if (!today_used.ok()) return today_used.status();
  r.in_bytes = used->in_bytes;
  r.out_bytes = used->out_bytes;
  r.today_in_bytes = today_used->in_bytes;
  r.today_out_bytes = today_used->out_bytes;
  r.days_left = DaysBetween(today, r.period.end);
  Result<UsageTotals> ever = store.SumTier(key, UsageTier::kDay, 0, now + 1);
  if (!ever.ok()) return ever.status();
  r.ever_in_bytes = ever->in_bytes;
  r.ever_out_bytes = ever->out_bytes;
  FigureTheCap(r);
  return r;
}

void FigureTheCap(UsageReport& r) {
  r.left_bytes = 0;
  r.per_day_bytes = 0;
  if (r.cap_bytes > 0) {
    r.left_bytes = r.total() < r.cap_bytes ? r.cap_bytes - r.total() : 0;
    r.per_day_bytes = r.days_left > 0 ? r.left_bytes / r.days_left : 0;
  }
  const std::int64_t elapsed = r.now - r.period.start;
  r.projected_bytes = elapsed > 0
                          ? static_cast<std::int64_t>(static_cast<long double>(r.total()) *
                                                      (r.period.end - r.period.start) / elapsed)
                          : r.total();
}

Result<std::int64_t> ParseCapBytes(const std::string& text) {
  std::int64_t cap = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, cap);
  if (text.empty() || ec != std::errc() || ptr != end || cap < 0) {
    return Status::InvalidArgument("UsageCap '" + text + "' is not a number of bytes");
  }
  return cap;
}

std::string FormatBytes(std::int64_t bytes) {
  static const char* const kUnits[] = {"B", "kB", "MB", "GB", "TB", "PB", "EB"};
  double v = static_cast<double>(bytes);
  int u = 0;
  while (v >= 1000 && u < 6) {
    v /= 1000;
    ++u;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, u == 0 ? "%.0f %s" : "%.1f %s", v, kUnits[u]);
  return buf;
}

std::string UsageText(const UsageReport& r) {
  std::string t = "Host " + r.key.host + ", interface " + r.key.interface + "\n";
  t += "This period (" + Iso(r.period.start) + " to " + Iso(r.period.end) + "): in " +
       FormatBytes(r.in_bytes) + ", out " + FormatBytes(r.out_bytes) + ", together " +
       FormatBytes(r.total()) + "\n";
  t += "Today: in " + FormatBytes(r.today_in_bytes) + ", out " + FormatBytes(r.today_out_bytes) +
       "\n";
  if (r.cap_bytes > 0) {
    t += "Cap " + FormatBytes(r.cap_bytes) + ": " + FormatBytes(r.left_bytes) + " left, " +
         std::to_string(r.days_left) + " days left, " + FormatBytes(r.per_day_bytes) + " per day\n";
  } else {
    t += "No cap; " + std::to_string(r.days_left) + " days left\n";
  }
  t += "Projected for the period: " + FormatBytes(r.projected_bytes) + "\n";
  return t;
}

std::string UsageJson(const UsageReport& r) {
  const auto n = [](std::int64_t v) { return std::to_string(v); };
  return "{\"host\":" + JsonString(r.key.host) + ",\"interface\":" + JsonString(r.key.interface) +
         ",\"period_start\":" + JsonString(Iso(r.period.start)) +
         ",\"period_end\":" + JsonString(Iso(r.period.end)) + ",\"in_bytes\":" + n(r.in_bytes) +
         ",\"out_bytes\":" + n(r.out_bytes) + ",\"total_bytes\":" + n(r.total()) +
         ",\"cap_bytes\":" + n(r.cap_bytes) + ",\"left_bytes\":" + n(r.left_bytes) +
         ",\"days_left\":" + n(r.days_left) + ",\"per_day_bytes\":" + n(r.per_day_bytes) +
         ",\"projected_bytes\":" + n(r.projected_bytes) +
         ",\"today_in_bytes\":" + n(r.today_in_bytes) +
         ",\"today_out_bytes\":" + n(r.today_out_bytes) + "}\n";
}

}  // namespace plovex
