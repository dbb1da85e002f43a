#include "metrics/traffic_metrics.h"

#include <prometheus/counter.h>
#include <prometheus/gauge.h>
#include <prometheus/registry.h>
#include <prometheus/text_serializer.h>

#include <optional>

namespace plovex {
namespace {

using prometheus::Counter;
using prometheus::Family;
using prometheus::Gauge;
using prometheus::Labels;

Family<Gauge>& GaugeFamily(prometheus::Registry& registry, const std::string& name,
                           const std::string& help) {
  return prometheus::BuildGauge().Name(name).Help(help).Register(registry);
}

// A series whose value is not known now is taken out of the exposition.
void SetOrDrop(Family<Gauge>& family, const Labels& labels, std::optional<double> value) {
  if (value) {
    family.Add(labels).Set(*value);
  } else if (family.Has(labels)) {
    family.Remove(&family.Add(labels));
  }
}

// Never backwards: a lower total is held where the counter stands.
void RaiseTo(Counter& counter, std::int64_t total) {
  const double value = static_cast<double>(total);
  if (value > counter.Value()) counter.Increment(value - counter.Value());
}

std::optional<double> Wide(std::optional<std::int64_t> v, double scale = 1) {
  if (!v) return std::nullopt;
  return static_cast<double>(*v) * scale;
}

}  // namespace

TrafficMetrics::TrafficMetrics()
    : registry_(std::make_shared<prometheus::Registry>()),
      up_(GaugeFamily(*registry_, "plovex_up",
                      "Whether the monitored host answered the last poll (1) or not (0).")),
      poll_duration_(GaugeFamily(*registry_, "plovex_poll_duration_seconds",
                                 "How long the last poll of the monitored host took.")),
      octets_(prometheus::BuildCounter()
                  .Name("plovex_octets_total")
                  .Help("Octets counted on the monitored interface, from the usage history of "
                        "this host and interface (kept across restarts).")
                  .Register(*registry_)),
      rate_(GaugeFamily(*registry_, "plovex_rate_bytes_per_second",
                        "Traffic over the last poll interval.")),
      period_(GaugeFamily(*registry_, "plovex_period_octets",
                          "Octets counted in this billing period.")),
      period_cap_(GaugeFamily(*registry_, "plovex_period_cap_octets",
                              "Octets allowed per billing period (UsageCap); 0 for no cap.")),
      uptime_(GaugeFamily(*registry_, "plovex_agent_uptime_seconds",
                          "How long the SNMP agent has been running (sysUpTime).")),
      info_(GaugeFamily(*registry_, "plovex_info",
                        "The monitored host, interface and system name; always 1.")) {
  // No series before the first tick: a 0 there would read as a counter reset
  // and a host that never answered.
}

TrafficMetrics::~TrafficMetrics() = default;

void TrafficMetrics::Tell(const TickSample& sample) {
  std::lock_guard lock(mutex_);
  up_.Add({}).Set(sample.answered ? 1 : 0);
  poll_duration_.Add({}).Set(sample.poll_seconds);
  RaiseTo(octets_.Add({{"direction", "in"}}), sample.octets_in);
  RaiseTo(octets_.Add({{"direction", "out"}}), sample.octets_out);
  SetOrDrop(rate_, {{"direction", "in"}}, Wide(sample.in_rate));
  SetOrDrop(rate_, {{"direction", "out"}}, Wide(sample.out_rate));
  period_.Add({{"direction", "in"}}).Set(static_cast<double>(sample.period_in));
  period_.Add({{"direction", "out"}}).Set(static_cast<double>(sample.period_out));
  period_cap_.Add({}).Set(static_cast<double>(sample.period_cap));
  SetOrDrop(uptime_, {}, Wide(sample.answered ? sample.uptime_hundredths : std::nullopt, 0.01));

  const std::string key = sample.host + '\n' + sample.interface + '\n' + sample.sys_name;
  if (info_now_ == nullptr || key != info_key_) {
    if (info_now_ != nullptr) info_.Remove(info_now_);
    info_now_ = &info_.Add(
        {{"host", sample.host}, {"interface", sample.interface}, {"sys_name", sample.sys_name}});
    info_now_->Set(1);
    info_key_ = key;
  }
}

std::string TrafficMetrics::Exposition() const {
  std::lock_guard lock(mutex_);
  return prometheus::TextSerializer().Serialize(registry_->Collect());
}

}  // namespace plovex
