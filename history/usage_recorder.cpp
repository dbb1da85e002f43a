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
  pending_.clear();
  next_try_ = 0;
  base_stale_ = true;
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
  if (now < next_read_ && same_slot) return;  // a store out of reach keeps what it last said
  Result<UsageReport> read = Status::NotFound("");
  if (OpenStore()) read = ReadUsage(*store_, key_, now, reset_day_, cap_bytes_);
  if (read.ok()) {
    base_ = *read;
    next_read_ = 0;
    base_stale_ = false;
  } else {
    // Without a store only this run's gathered minutes are known.
    base_ = UsageReport{};
    base_.key = key_;
    base_.period = *BillingPeriod(now, reset_day_);
    base_.cap_bytes = cap_bytes_;
    next_read_ = now + 60;
    if (store_) Note(read.status());
  }
  // Days of 23 and 25 hours: 26 hours after today's start is always in tomorrow.
  const std::int64_t tomorrow = LocalDayStart(LocalDayStart(now) + 26 * 3600);
  base_until_ = std::min(base_.period.end, tomorrow);
}

const UsageReport& UsageRecorder::Usage(std::int64_t now) {
  ReadBase(now);
  usage_ = base_;
  usage_.now = now;
  const std::int64_t today = LocalDayStart(now);
  for (const UsageMinute& m : pending_) {
    usage_.ever_in_bytes += m.in_bytes;
    usage_.ever_out_bytes += m.out_bytes;
    if (m.start >= usage_.period.start) {
      usage_.in_bytes += m.in_bytes;
      usage_.out_bytes += m.out_bytes;
    }
    if (m.start >= today) {
      usage_.today_in_bytes += m.in_bytes;
      usage_.today_out_bytes += m.out_bytes;
    }
  }
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
