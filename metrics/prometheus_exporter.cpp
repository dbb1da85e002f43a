#include "metrics/prometheus_exporter.h"

namespace plovex {

Status PrometheusExporter::Open(const ListenAddress& address) {
  Result<std::unique_ptr<MetricsServer>> started =
      MetricsServer::Start(address, [this] { return metrics_.Exposition(); });
  if (!started.ok()) return started.status();
  server_ = std::move(*started);
  return Status::Ok();
}

}  // namespace plovex
