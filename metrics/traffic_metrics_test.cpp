#include "metrics/traffic_metrics.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

TickSample Answered() {
  TickSample s;
  s.answered = true;
  s.poll_seconds = 0.25;
  s.host = "192.0.2.1";
  s.interface = "wan0";
  s.sys_name = "router";
  s.in_rate = 1200;
  s.out_rate = 300;
  s.uptime_hundredths = 12345;
  s.octets_in = 1000000;
  s.octets_out = 2000;
  s.period_in = 500000;
  s.period_out = 1000;
  s.period_cap = 0;
  return s;
}

bool Shows(const std::string& exposition, const std::string& line) {
  return ("\n" + exposition).find("\n" + line + "\n") != std::string::npos;
}

// Ticks in order, each with lines the exposition must and must not hold after it.
TEST(TrafficMetrics, TheExpositionFollowsTheTicks) {
  struct Step {
    const char* what;
    TickSample sample;
    std::vector<std::string> shown, not_shown;
  };
  TickSample silent = Answered();
  silent.answered = false;
  silent.in_rate.reset();
  silent.out_rate.reset();
  silent.octets_in = 0;  // a history that could not be read
  TickSample lower = Answered();
  lower.octets_in = 999000;
  TickSample renamed = Answered();
  renamed.sys_name = "gateway";
  renamed.octets_in = 1000500;
  renamed.period_cap = 5000000000;

  TrafficMetrics metrics;
  EXPECT_EQ(metrics.Exposition().find("plovex_octets_total{"), std::string::npos)
      << "a 0 before the first tick would read as a counter reset";
  for (const Step& step : std::vector<Step>{
           {"answered",
            Answered(),
            {"# TYPE plovex_octets_total counter", "# TYPE plovex_up gauge",
             "# TYPE plovex_info gauge", "plovex_up 1", "plovex_poll_duration_seconds 0.25",
             "plovex_octets_total{direction=\"in\"} 1000000",
             "plovex_octets_total{direction=\"out\"} 2000",
             "plovex_rate_bytes_per_second{direction=\"in\"} 1200",
             "plovex_period_octets{direction=\"in\"} 500000", "plovex_period_cap_octets 0",
             "plovex_agent_uptime_seconds 123.45",
             "plovex_info{host=\"192.0.2.1\",interface=\"wan0\",sys_name=\"router\"} 1"},
            {}},
           {"silent",
            silent,
            {"plovex_up 0", "plovex_octets_total{direction=\"in\"} 1000000"},
            {"plovex_rate_bytes_per_second{direction=\"in\"} 1200",
             "plovex_agent_uptime_seconds 123.45"}},
           {"a lower total is held",
            lower,
            {"plovex_up 1", "plovex_octets_total{direction=\"in\"} 1000000",
             "plovex_rate_bytes_per_second{direction=\"in\"} 1200"},
            {}},
           {"another name",
            renamed,
            {"plovex_octets_total{direction=\"in\"} 1000500", "plovex_period_cap_octets 5000000000",
             "plovex_info{host=\"192.0.2.1\",interface=\"wan0\",sys_name=\"gateway\"} 1"},
            {"plovex_info{host=\"192.0.2.1\",interface=\"wan0\",sys_name=\"router\"} 1"}},
       }) {
    metrics.Tell(step.sample);
    const std::string text = metrics.Exposition();
    for (const std::string& line : step.shown)
      EXPECT_TRUE(Shows(text, line)) << step.what << ": " << line << "\n" << text;
    for (const std::string& line : step.not_shown)
      EXPECT_FALSE(Shows(text, line)) << step.what << ": " << line << "\n" << text;
  }
}

}  // namespace
}  // namespace plovex
