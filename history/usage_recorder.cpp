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

void UsageRecorder::Flush(std::int64_t now) {
  if (pending_.empty() || now < next_try_) return;
  if (!store_) {
    std::string set_aside;
    Result<std::unique_ptr<UsageStore>> opened = UsageStore::Open(path_, false, &set_aside);
    if (!opened.ok()) {
      next_try_ = now + 60;
      Note(opened.status());
      return;
    }
    store_ = std::move(*opened);
    if (!set_aside.empty()) {
      Note(Status::Corruption("the usage store " + path_ + " was damaged; it is kept as " +
                              set_aside + " and a new one is begun"));
    }
  }
  const Status written = store_->Add(key_, pending_, now);
  if (!written.ok()) {
    next_try_ = now + 60;
    Note(written);
    return;
  }
  pending_.clear();
  next_try_ = 0;
  Note(Status());
}

void UsageRecorder::Note(const Status& status) {
  if (status == reported_) return;
  if (on_fault_) on_fault_(status);
  reported_ = status;
}

}  // namespace plovex
