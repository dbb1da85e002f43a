#pragma once
// MetricsService: what the headless runner tells the outside world of each
// tick, for a monitoring system to scrape. The runner opens it once, after
// the settings are loaded and before the first poll, and then tells it the
// outcome of every tick. The real one is PrometheusExporter.
#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"
#include "metrics/listen_address.h"

namespace plovex {

// One tick as the metrics see it.
struct TickSample {
  bool answered = false;    // the host answered this tick's poll
  double poll_seconds = 0;  // how long the poll took
  std::string host;         // the monitored host, as set
  std::string interface;    // the usage history's name for the counters
  std::string sys_name;     // sysName.0 when the poll read it; else empty
  // Bytes per second over the last interval; none when this tick's poll did
  // not read the counter.
  std::optional<std::int64_t> in_rate, out_rate;
  // sysUpTime.0 in hundredths of a second, when the poll read it.
  std::optional<std::int64_t> uptime_hundredths;
  // From the usage history: every byte recorded for this host and interface,
  // this billing period's bytes and its cap (0: none).
  std::int64_t octets_in = 0, octets_out = 0;
  std::int64_t period_in = 0, period_out = 0;
  std::int64_t period_cap = 0;
};

class MetricsService {
 public:
  virtual ~MetricsService() = default;
  // Starts serving at `address`. Fails, serving nothing, with a message that
  // names the address and the reason (a port in use, an address this host
  // does not have).
  virtual Status Open(const ListenAddress& address) = 0;
  virtual void Tell(const TickSample& sample) = 0;
};

}  // namespace plovex
