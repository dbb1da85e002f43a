#include "history/usage_recorder.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace plovex {

std::string DefaultUsageStorePath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  std::string folder;
  if (state != nullptr && state[0] == '/') {
    folder = state;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home != nullptr ? home : "") + "/.local/state";
  }
  return folder + "/plovex/history.sqlite";
}

namespace {

// A minute's bytes into a report of its period, with `today` the start of the
// report's local day.
void Count(UsageReport& r, const UsageMinute& m, std::int64_t today) {
  r.ever_in_bytes += m.in_bytes;
  r.ever_out_bytes += m.out_bytes;
  if (m.start >= r.period.start && m.start < r.period.end) {
    r.in_bytes += m.in_bytes;
    r.out_bytes += m.out_bytes;
  }
  if (m.start >= today) {
    r.today_in_bytes += m.in_bytes;
    r.today_out_bytes += m.out_bytes;
  }
}

}  // namespace

UsageRecorder::UsageRecorder(std::string path, FaultCallback on_fault)
    : path_(std::move(path)), on_fault_(std::move(on_fault)) {}

UsageRecorder::~UsageRecorder() {
  next_try_ = 0;
  Flush(static_cast<std::int64_t>(std::time(nullptr)));
}

void UsageRecorder::Add(const UsageKey& key, std::int64_t now, std::int64_t in_bytes,
                        std::int64_t out_bytes, std::int64_t seconds) {
  if (key.host != key_.host || key.interface != key_.interface) {
    Flush(now);
    pending_.clear();  // what could not be written under the old key is not the new one's
    key_ = key;
    base_stale_ = true;
  }
  const std::int64_t minute = now - now % 60;
  if (!pending_.empty() && pending_.front().start < minute) Flush(now);
  if (in_bytes == 0 && out_bytes == 0) return;
  if (pending_.empty() || pending_.back().start != minute) pending_.push_back({minute});
  // A store out of reach for two days keeps only the two days a minute tier holds.
  if (pending_.size() > kMinuteRetention / 60) pending_.erase(pending_.begin());
  UsageMinute& m = pending_.back();
  m.in_bytes += in_bytes;
  m.out_bytes += out_bytes;
  const std::int64_t d = seconds > 0 ? seconds : 1;
  m.peak_in = std::max(m.peak_in, in_bytes / d);
  m.peak_out = std::max(m.peak_out, out_bytes / d);
}

bool UsageRecorder::OpenStore() {
  if (store_) return true;
  std::string set_aside;
  Result<std::unique_ptr<UsageStore>> opened = UsageStore::Open(path_, false, &set_aside);
  if (!opened.ok()) {
    Note(opened.status());
    return false;
  }
  store_ = std::move(*opened);
  if (!set_aside.empty()) {
    Note(Status::Corruption("the usage store " + path_ + " was damaged; it is kept as " +
                            set_aside + " and a new one is begun"));
  }
  return true;
}

void UsageRecorder::Flush(std::int64_t now) {
  if (pending_.empty() || now < next_try_) return;
  if (!OpenStore()) {
    next_try_ = now + 60;
    return;
  }
  const Status written = store_->Add(key_, pending_, now);
  if (!written.ok()) {
    next_try_ = now + 60;
    Note(written);
    return;
  }
  // What is now written counts in the base as the store would say it: no
  // reading back, which another writer could make fail or wait.
  for (const UsageMinute& m : pending_) Count(base_, m, base_day_);
  pending_.clear();
  next_try_ = 0;
  Note(Status());
}

void UsageRecorder::SetBilling(int reset_day, std::int64_t cap_bytes) {
  if (reset_day < kFirstResetDay || reset_day > kLastResetDay) reset_day = kFirstResetDay;
  if (cap_bytes < 0) cap_bytes = 0;
  if (reset_day == reset_day_ && cap_bytes == cap_bytes_) return;
  reset_day_ = reset_day;
  cap_bytes_ = cap_bytes;
  base_stale_ = true;
}

void UsageRecorder::ReadBase(std::int64_t now) {
  const bool same_slot =
      base_.key.host == key_.host && base_.key.interface == key_.interface && now < base_until_;
  if (!base_stale_ && same_slot) return;
  if (now < next_read_ && same_slot) return;  // tried a moment ago
  Result<UsageReport> read = Status::NotFound("");
  if (OpenStore()) read = ReadUsage(*store_, key_, now, reset_day_, cap_bytes_);
  if (read.ok()) {
    base_ = *read;
    next_read_ = 0;
    base_stale_ = false;
  } else {
    next_read_ = now + 60;
    if (store_) Note(read.status());
    // A store out of reach keeps what it last said of this key and period;
    // without that, only this run's gathered minutes are known.
    const UsagePeriod period = *BillingPeriod(now, reset_day_);
    const bool same_key = base_.key.host == key_.host && base_.key.interface == key_.interface;
    if (!same_key || base_.period.start != period.start) {
      base_ = UsageReport{};
      base_.key = key_;
      base_.period = period;
    } else if (LocalDayStart(now) != base_day_) {
      base_.today_in_bytes = base_.today_out_bytes = 0;
    }
    base_.cap_bytes = cap_bytes_;
  }
  base_day_ = LocalDayStart(now);
  // Days of 23 and 25 hours: 26 hours after today's start is always in tomorrow.
  base_until_ = std::min(base_.period.end, LocalDayStart(base_day_ + 26 * 3600));
}

const UsageReport& UsageRecorder::Usage(std::int64_t now) {
  ReadBase(now);
  usage_ = base_;
  usage_.now = now;
  for (const UsageMinute& m : pending_) Count(usage_, m, base_day_);
  FigureTheCap(usage_);
  return usage_;
}

int UsageRecorder::CapTold(std::int64_t period_start) {
  CapMemory& m = cap_told_;
  if (m.known && m.period == period_start && m.key.host == key_.host &&
      m.key.interface == key_.interface) {
    return m.share;
  }
  m = CapMemory{key_, period_start, 0, true};
  if (OpenStore()) {
    const Result<int> told = store_->CapTold(key_, period_start);
    if (told.ok()) m.share = *told;
  }
  return m.share;
}

void UsageRecorder::SetCapTold(std::int64_t period_start, int share) {
  cap_told_ = CapMemory{key_, period_start, share, true};
  // A store that cannot take it now only costs a repeated notice after a restart.
  if (OpenStore()) (void)store_->SetCapTold(key_, period_start, share);
}

void UsageRecorder::Note(const Status& status) {
  if (status == reported_) return;
  if (on_fault_) on_fault_(status);
  reported_ = status;
}

}  // namespace plovex
