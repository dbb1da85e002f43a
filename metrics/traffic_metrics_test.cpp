#include "metrics/traffic_metrics.h"

#include <gtest/gtest.h>

#include <functional>

namespace plovex {
namespace {

bool Shows(const std::string& exposition, const std::string& line) {
  return ("\n" + exposition).find("\n" + line + "\n") != std::string::npos;
}

// Ticks in order (each a change to the one before), with lines the
// exposition must and must not hold after each. The end-to-end test checks
// the format itself with promtool.
TEST(TrafficMetrics, TheExpositionFollowsTheTicks) {
  struct Step {
    const char* what;
    std::function<void(TickSample&)> change;
    std::vector<std::string> shown, not_shown;
  };
  TickSample s{true,  0.25,    "192.0.2.1", "wan0", "router", 1200, 300,
               12345, 1000000, 2000,        500000, 1000,     0};
  TrafficMetrics metrics;
  EXPECT_EQ(metrics.Exposition().find("plovex_octets_total{"), std::string::npos)
      << "a 0 before the first tick would read as a counter reset";
  for (const Step& step : std::vector<Step>{
           {"answered",
            [](TickSample&) {},
            {"# TYPE plovex_octets_total counter", "plovex_up 1",
             "plovex_poll_duration_seconds 0.25", "plovex_octets_total{direction=\"in\"} 1000000",
             "plovex_rate_bytes_per_second{direction=\"out\"} 300",
             "plovex_period_octets{direction=\"in\"} 500000", "plovex_agent_uptime_seconds 123.45",
             "plovex_info{host=\"192.0.2.1\",interface=\"wan0\",sys_name=\"router\"} 1"},
            {}},
           {"silent, the history out of reach",
            [](TickSample& t) { t.answered = false, t.in_rate.reset(), t.octets_in = 0; },
            {"plovex_up 0", "plovex_octets_total{direction=\"in\"} 1000000"},
            {"plovex_rate_bytes_per_second{direction=\"in\"} 1200",
             "plovex_agent_uptime_seconds 123.45"}},
           {"a lower total is held, a higher one taken",
            [](TickSample& t) { t.answered = true, t.octets_in = 999000, t.octets_out = 2500; },
            {"plovex_octets_total{direction=\"in\"} 1000000",
             "plovex_octets_total{direction=\"out\"} 2500"},
            {}},
           {"another system name",
            [](TickSample& t) { t.sys_name = "gateway", t.period_cap = 5000000000; },
            {"plovex_info{host=\"192.0.2.1\",interface=\"wan0\",sys_name=\"gateway\"} 1",
             "plovex_period_cap_octets 5000000000"},
            {"plovex_info{host=\"192.0.2.1\",interface=\"wan0\",sys_name=\"router\"} 1"}},
       }) {
    step.change(s);
    metrics.Tell(s);
    const std::string text = metrics.Exposition();
    for (const std::string& line : step.shown)
      EXPECT_TRUE(Shows(text, line)) << step.what << ": " << line << "\n" << text;
    for (const std::string& line : step.not_shown)
      EXPECT_FALSE(Shows(text, line)) << step.what << ": " << line << "\n" << text;
  }
}

}  // namespace
}  // namespace plovex
