#pragma once
// PrometheusExporter: the real MetricsService. Each tick goes into
// TrafficMetrics; from Open on, MetricsServer serves them at /metrics.
#include <memory>

#include "metrics/metrics_server.h"
#include "metrics/metrics_service.h"
#include "metrics/traffic_metrics.h"

namespace plovex {

class PrometheusExporter : public MetricsService {
 public:
  Status Open(const ListenAddress& address) override;
  void Tell(const TickSample& sample) override { metrics_.Tell(sample); }

 private:
  TrafficMetrics metrics_;
  std::unique_ptr<MetricsServer> server_;  // stops before metrics_ goes
};

}  // namespace plovex
