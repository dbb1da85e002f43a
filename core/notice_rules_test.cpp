#include "core/notice_rules.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

// One tick: time, answered, unanswered tries in a row, the two rates.
using Steps = std::vector<TickOutcome>;
TickOutcome Answer(std::int64_t now, std::optional<std::int64_t> down = {},
                   std::optional<std::int64_t> up = {}) {
  return {now, true, 0, {down, up}};
}
TickOutcome Silent(std::int64_t now, int tries) { return {now, false, tries, {}}; }
// A download rate at every second of [from, to], then `after`.
Steps Burst(std::int64_t from, std::int64_t to, std::int64_t rate, Steps after = {}) {
  Steps steps;
  for (std::int64_t t = from; t <= to; ++t) steps.push_back(Answer(t, rate, 10));
  steps.insert(steps.end(), after.begin(), after.end());
  return steps;
}

TEST(NoticeRules, SpeakUpOnceWhenSomethingHappens) {
  // Tries after 0, 5, 10 and 20 s of back-off.
  const Steps down_and_back = {Answer(0),     Silent(1, 1),  Silent(3, 1),  Silent(6, 2),
                               Silent(16, 3), Silent(17, 3), Silent(36, 4), Answer(141)};
  const struct {
    const char* name;
    int down_polls, rate_above, rate_seconds;
    Steps steps;
    std::vector<std::string> said;  // "summary | body"
  } cases[] = {
      {"one lost reply", 3, 0, 30, {Answer(0), Silent(1, 1), Silent(5, 1), Answer(6)}, {}},
      {"down after three tries, back with the silence",
       3,
       0,
       30,
       down_and_back,
       {"127.0.0.1 does not answer | no answer to 3 polls in a row",
        "127.0.0.1 answers again | answered again after 2 min 20 s"}},
      {"host notices off", 0, 0, 30, down_and_back, {}},
      {"burst shorter than the duration", 3, 1000, 5, Burst(1, 4, 2000, {Answer(5, 100)}), {}},
      {"burst longer; back below only under 90 %",
       3,
       1000,
       5,
       Burst(1, 6, 2000, {Answer(7, 950), Answer(8, 1000), Answer(9, 880)}),
       {"Download above 1 kB/s | 2 kB/s now, above the limit for 5 s",
        "Download back below 0.9 kB/s | now 0.9 kB/s"}},
      {"a tick without a rate breaks the run",
       3,
       1000,
       5,
       Burst(1, 3, 2000,
             {Answer(4), Answer(5, 2000), Answer(6, 2000), Answer(7, 2000), Answer(8, 2000)}),
       {}},
      {"the upload channel",
       3,
       1000,
       0,
       {Answer(1, 10, 5000), Answer(2, 10, 5000), Answer(3, 10, 10)},
       {"Upload above 1 kB/s | 4.9 kB/s now, above the limit for 1 s",
        "Upload back below 0.9 kB/s | now 0 kB/s"}},
  };
  for (const auto& c : cases) {
    TPlovexSettings s;
    s.Ip = "127.0.0.1";
    s.Refresh = 1;
    s.NotifyDownPolls = c.down_polls;
    s.NotifyRateAbove = c.rate_above;
    s.NotifyRateSeconds = c.rate_seconds;
    NoticeRules rules;
    std::vector<std::string> said;
    for (const TickOutcome& step : c.steps) {
      for (const Notice& n : rules.AfterTick(s, step)) said.push_back(n.summary + " | " + n.body);
    }
    EXPECT_EQ(said, c.said) << c.name;
  }
}

}  // namespace
}  // namespace plovex
