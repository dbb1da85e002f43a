#pragma once
// UsageStore: the bytes carried in and out, per host and interface, in one
// SQLite file. Every minute's bytes are written to three tiers at once, per
// minute, per hour and per local day, so that a tier is consolidated the
// moment its finer one is written and an aged slot only has to be dropped:
// minutes are kept 48 hours, hours 60 days, days for good. Each slot keeps
// its bytes (the average rate is bytes over the slot's length) and the peak
// rate of any tick in it.
//
// The file is in WAL mode with a busy timeout, so a reader (plovex --usage)
// never waits for a writer and two writers take turns instead of failing.
// A file that is not a database, or a damaged one, is set aside (renamed
// with ".damaged" and the time) and a new one is made in its place.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/status.h"

struct sqlite3;

namespace plovex {

// What a series is known by: the host's address and the interface ("Interface"
// name, else the two counters' identifiers joined by a space).
struct UsageKey {
  std::string host;
  std::string interface;
};
UsageKey MakeUsageKey(const std::string& host, const std::string& interface,
                      const std::string& oid1, const std::string& oid2);

struct UsageMinute {
  std::int64_t start = 0;  // Unix seconds, a multiple of 60
  std::int64_t in_bytes = 0, out_bytes = 0;
  std::int64_t peak_in = 0, peak_out = 0;  // bytes per second
};

struct UsageTotals {
  std::int64_t in_bytes = 0, out_bytes = 0;
  std::int64_t peak_in = 0, peak_out = 0;
};

enum class UsageTier : int { kMinute = 60, kHour = 3600, kDay = 86400 };

constexpr std::int64_t kMinuteRetention = 48 * 3600;
constexpr std::int64_t kHourRetention = 60 * 86400;

class UsageStore {
 public:
  ~UsageStore();
  UsageStore(const UsageStore&) = delete;
  UsageStore& operator=(const UsageStore&) = delete;

  // Opens the store at `path`, making it and its folder when missing. A
  // damaged file is set aside and `set_aside` (when given) receives the name
  // it now has; a read-only store is never set aside nor made.
  static Result<std::unique_ptr<UsageStore>> Open(const std::string& path, bool read_only = false,
                                                  std::string* set_aside = nullptr);

  // Adds the minutes to every tier and drops the slots aged out at `now`,
  // in one transaction. Nothing of it is written when it fails.
  Status Add(const UsageKey& key, std::span<const UsageMinute> minutes, std::int64_t now);

  // The bytes of the slots that start in [from, to), from the finest tier
  // still holding `from` at `now`.
  Result<UsageTotals> Sum(const UsageKey& key, std::int64_t from, std::int64_t to,
                          std::int64_t now);
  // The same from one tier.
  Result<UsageTotals> SumTier(const UsageKey& key, UsageTier tier, std::int64_t from,
                              std::int64_t to);

  // The slots of one tier that start in [from, to), oldest first; `start` is
  // the slot's, whatever its tier's length.
  Result<std::vector<UsageMinute>> Slots(const UsageKey& key, UsageTier tier, std::int64_t from,
                                         std::int64_t to);

  // The keys stored, the one written last first.
  Result<std::vector<UsageKey>> Keys();

  // The share of the cap (80, 90, 100) last told for the billing period of
  // `key` that begins at `period_start`; 0 when none was. Setting it forgets
  // what was told for the key's other periods.
  Result<int> CapTold(const UsageKey& key, std::int64_t period_start);
  Status SetCapTold(const UsageKey& key, std::int64_t period_start, int share);

 private:
  explicit UsageStore(sqlite3* db) : db_(db) {}
  Status Exec(const char* sql);
  Status Failure(const std::string& doing) const;
  sqlite3* db_;
};

// The start of the local day (midnight, or the first hour that exists) that
// holds `t`.
std::int64_t LocalDayStart(std::int64_t t);

}  // namespace plovex
