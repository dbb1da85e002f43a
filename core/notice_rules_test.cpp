#include "core/notice_rules.h"

#include <gtest/gtest.h>

#include <climits>

namespace plovex {
namespace {

// One tick: its time, whether the poll was answered, the unanswered tries in
// a row, and the two channels' rates (none without a sample).
struct Step {
  std::int64_t now;
  bool answered;
  int tries;
  std::optional<std::int64_t> down, up;
};

Step Answer(std::int64_t now, std::optional<std::int64_t> down = {},
            std::optional<std::int64_t> up = {}) {
  return {now, true, 0, down, up};
}
Step Silent(std::int64_t now, int tries) { return {now, false, tries, {}, {}}; }

struct Case {
  const char* name;
  int down_polls, rate_above, rate_seconds;
  std::vector<Step> steps;
  std::vector<std::string> said;  // "summary | body", in order
};

TEST(NoticeRules, SpeakUpOnceWhenSomethingHappens) {
  // Back-off between tries: 5 s, 10 s, 20 s.
  const std::vector<Step> down_and_back = {Answer(0),     Silent(1, 1),  Silent(3, 1),
                                           Silent(6, 2),  Silent(16, 3), Silent(17, 3),
                                           Silent(36, 4), Answer(141)};
  const auto burst = [](std::int64_t from, std::int64_t to, std::int64_t rate) {
    std::vector<Step> steps;
    for (std::int64_t t = from; t <= to; ++t) steps.push_back(Answer(t, rate, 10));
    return steps;
  };
  auto then = [](std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const Case cases[] = {
      {"one lost reply",
       3,
       0,
       30,
       {Answer(0), Silent(1, 1), Silent(2, 1), Silent(5, 1), Answer(6)},
       {}},
      {"down after three tries, back with the silence",
       3,
       0,
       30,
       down_and_back,
       {"127.0.0.1 does not answer | no answer to 3 polls in a row",
        "127.0.0.1 answers again | answered again after 2 min 20 s"}},
      {"host notices off", 0, 0, 30, down_and_back, {}},
      {"burst shorter than the duration",
       3,
       1000,
       5,
       then(burst(1, 4, 2000), {Answer(5, 100)}),
       {}},
      {"burst longer, back below only under 90 %",
       3,
       1000,
       5,
       then(burst(1, 6, 2000), {Answer(7, 950), Answer(8, 1000), Answer(9, 880)}),
       {"Download above 1 kB/s | 2 kB/s now, above the limit for 5 s",
        "Download back below 0.9 kB/s | now 0.9 kB/s"}},
      {"a tick without a rate breaks the run",
       3,
       1000,
       5,
       then(then(burst(1, 3, 2000), {Answer(4)}), burst(5, 8, 2000)),
       {}},
      {"the upload channel apart",
       3,
       1000,
       0,
       {Answer(1, 10, 5000), Answer(2, 10, 5000), Answer(3, 10, 10)},
       {"Upload above 1 kB/s | 4.9 kB/s now, above the limit for 1 s",
        "Upload back below 0.9 kB/s | now 0 kB/s"}},
  };
  for (const Case& c : cases) {
    TPlovexSettings s;
    s.Ip = "127.0.0.1";
    s.Refresh = 1;
    s.NotifyDownPolls = c.down_polls;
    s.NotifyRateAbove = c.rate_above;
    s.NotifyRateSeconds = c.rate_seconds;
    NoticeRules rules;
    std::vector<std::string> said;
    for (const Step& step : c.steps) {
      for (const Notice& n :
           rules.AfterTick(s, {step.now, step.answered, step.tries, {step.down, step.up}})) {
        said.push_back(n.summary + " | " + n.body);
      }
    }
    EXPECT_EQ(said, c.said) << c.name;
  }
}

TEST(NoticeRules, OnlyTheHighestShareOfTheCapNotYetToldIsTold) {
  struct Row {
    std::int64_t used, cap;
    int told;
    const char* said;
  };
  const Row rows[] = {
      {799, 999, 0, ""},  // 79.98 %
      {800, 999, 0, "Usage at 80 % of the cap | 800 B of 999 B used, 199 B left for 3 days"},
      {950, 1000, 0, "Usage at 90 % of the cap | 950 B of 1.0 kB used, 50 B left for 3 days"},
      {960, 1000, 90, ""},
      {1200, 1000, 90, "Usage has reached the cap | 1.2 kB of 1.0 kB used, 0 B left for 3 days"},
      {1300, 1000, 100, ""},
      {5000, 0, 0, ""},  // no cap
      // Exabytes: the share is figured without overflow.
      {INT64_MAX / 2, INT64_MAX / 2 + 1000, 0,
       "Usage at 90 % of the cap | 4.6 EB of 4.6 EB used, 1.0 kB left for 3 days"},
  };
  for (const Row& row : rows) {
    UsageReport r;
    r.in_bytes = row.used;
    r.cap_bytes = row.cap;
    r.left_bytes = std::max<std::int64_t>(0, row.cap - row.used);
    r.days_left = 3;
    const std::optional<Notice> n = CapNotice(r, row.told);
    EXPECT_EQ(n ? n->summary + " | " + n->body : "", row.said) << row.used;
  }
}

}  // namespace
}  // namespace plovex
