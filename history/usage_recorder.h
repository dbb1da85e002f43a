#pragma once
// UsageRecorder: gathers the bytes each tick counted and writes them to the
// usage store in one transaction a minute, so that a killed program loses at
// most the last minute and the disk sees one small write a minute.
//
// The store is opened at the first write. A store that cannot be opened or
// written (locked past the busy timeout, a full disk) keeps its minutes in
// memory and is tried again a minute later; the recorder tells its fault
// callback once when such a fault begins or changes, and once (with an ok
// status) when it is over; a damaged store set aside is such a fault, over
// at the first write to the new one. It never throws: the graph goes on regardless.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/status.h"
#include "history/usage_period.h"
#include "history/usage_store.h"

namespace plovex {

// ${XDG_STATE_HOME:-$HOME/.local/state}/plovex/history.sqlite
std::string DefaultUsageStorePath();

class UsageRecorder {
 public:
  using FaultCallback = std::function<void(const Status&)>;
  UsageRecorder(std::string path, FaultCallback on_fault);
  ~UsageRecorder();  // writes what it holds
  UsageRecorder(const UsageRecorder&) = delete;
  UsageRecorder& operator=(const UsageRecorder&) = delete;

  // One tick's counted bytes at Unix time `now`, over `seconds` (for the peak
  // rate). A new key first writes what was gathered under the old one.
  void Add(const UsageKey& key, std::int64_t now, std::int64_t in_bytes, std::int64_t out_bytes,
           std::int64_t seconds);
  // Writes what is gathered now; the runner calls it when it ends.
  void Flush(std::int64_t now);

  // The billing period's reset day (a day outside 1 to 28 is taken as the
  // 1st) and cap (0: none) that Usage reports against.
  void SetBilling(int reset_day, std::int64_t cap_bytes);

  // This period's and today's bytes under the current key, the minutes not
  // yet written included. The store is read when the key, the local day, the
  // period or the billing changes; what this recorder writes is counted in
  // as it goes, so a caller may ask on every tick and the figures never drop
  // while a write or a read waits on another process. A store out of reach
  // keeps what it last said of the key and period, else reports what this
  // run gathered.
  const UsageReport& Usage(std::int64_t now);

  // The share of the cap (80, 90, 100) last told for the current key's period
  // beginning at `period_start`; 0 when none was. Kept in the store, so that a
  // restart does not tell it again; read from it once per key and period. A
  // store out of reach remembers for this run only.
  int CapTold(std::int64_t period_start);
  void SetCapTold(std::int64_t period_start, int share);

 private:
  void Note(const Status& status);
  bool OpenStore();
  void ReadBase(std::int64_t now);

  int reset_day_ = kFirstResetDay;
  std::int64_t cap_bytes_ = 0;
  UsageReport base_;  // as the store held it at its last reading
  bool base_stale_ = true;
  std::int64_t base_day_ = 0;    // the start of the local day the base was read in
  std::int64_t base_until_ = 0;  // the next local day or period begins
  std::int64_t next_read_ = 0;   // no reading before this time after a failure
  UsageReport usage_;

  std::string path_;
  FaultCallback on_fault_;
  std::unique_ptr<UsageStore> store_;
  UsageKey key_;
  std::vector<UsageMinute> pending_;
  std::int64_t next_try_ = 0;  // no write before this time after a failure
  Status reported_;
  struct CapMemory {
    UsageKey key;
    std::int64_t period = 0;
    int share = 0;
    bool known = false;
  } cap_told_;
};

}  // namespace plovex
