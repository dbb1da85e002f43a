#pragma once
// TrafficMetrics: the metric families of one Plovex, kept in a prometheus-cpp
// registry, and their text exposition (format 0.0.4).
//
// plovex_octets_total only ever grows within a run: a report lower than the
// last one (another host or interface, a history that could not be read) is
// held at the last value until the history passes it. Across runs it goes on
// from the usage history, so it does not fall back to 0 when Plovex restarts.
// Series whose value is not known this tick (a rate the poll did not read,
// the uptime of a silent agent) are left out rather than shown stale, and
// so is every series before the first tick.
//
// Thread safety: Tell and Exposition may be called from different threads
// (the runner's and the server's).
#include <memory>
#include <mutex>
#include <string>

#include "metrics/metrics_service.h"

namespace prometheus {
class Registry;
template <typename T>
class Family;
class Counter;
class Gauge;
}  // namespace prometheus

namespace plovex {

class TrafficMetrics {
 public:
  TrafficMetrics();
  ~TrafficMetrics();
  TrafficMetrics(const TrafficMetrics&) = delete;
  TrafficMetrics& operator=(const TrafficMetrics&) = delete;

  void Tell(const TickSample& sample);
  std::string Exposition() const;

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<prometheus::Registry> registry_;
  prometheus::Family<prometheus::Gauge>& up_;
  prometheus::Family<prometheus::Gauge>& poll_duration_;
  prometheus::Family<prometheus::Counter>& octets_;
  prometheus::Family<prometheus::Gauge>& rate_;
  prometheus::Family<prometheus::Gauge>& period_;
  prometheus::Family<prometheus::Gauge>& period_cap_;
  prometheus::Family<prometheus::Gauge>& uptime_;
  prometheus::Family<prometheus::Gauge>& info_;
  prometheus::Gauge* info_now_ = nullptr;
  std::string info_key_;
};

}  // namespace plovex
