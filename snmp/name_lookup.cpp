#include "snmp/name_lookup.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace plovex {

struct NameLookup::Pending {
  std::string name;
  std::mutex mutex;
  std::condition_variable done_cv;
  bool done = false;
  Result<UdpEndpoint> answer = Status::NotFound("");
};

NameLookup::NameLookup(std::int64_t wait_ms, Resolver resolver)
    : wait_ms_(wait_ms), resolver_(std::move(resolver)) {}

// A resolver still busy keeps its own share of the pending answer and drops
// it when it returns; nothing waits for it here.
NameLookup::~NameLookup() = default;

Result<UdpEndpoint> NameLookup::Find(const std::string& name, std::int64_t now_ms) {
  if (name == name_ && now_ms < found_until_ms_) return found_;
  if (!pending_ || pending_->name != name) {
    // A lookup of a name no longer wanted finishes unheard.
    pending_ = std::make_shared<Pending>();
    pending_->name = name;
    std::thread([p = pending_, resolve = resolver_] {
      Result<UdpEndpoint> answer = resolve(p->name);
      const std::lock_guard<std::mutex> lock(p->mutex);
      p->answer = std::move(answer);
      p->done = true;
      p->done_cv.notify_all();
    }).detach();
  }
  std::unique_lock<std::mutex> lock(pending_->mutex);
  if (!pending_->done_cv.wait_for(lock, std::chrono::milliseconds(wait_ms_),
                                  [&] { return pending_->done; })) {
    return Status::TimedOut("cannot look up " + name + ": the resolver gave no answer within " +
                            std::to_string(wait_ms_) + " ms");
  }
  Result<UdpEndpoint> answer = std::move(pending_->answer);
  lock.unlock();
  pending_.reset();
  if (answer.ok()) {
    name_ = name;
    found_ = *answer;
    found_until_ms_ = now_ms + kKeepMs;
  }
  return answer;
}

}  // namespace plovex
