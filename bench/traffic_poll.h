#pragma once
// TrafficPoll: a poll without the network whose counters move like real
// traffic. The rate wanders between 0 and 80,000 bytes a second (with an
// occasional burst), so bars, the line and the rate labels change on every
// tick; the overlays are a router's usual five values. Seeded, so every run
// draws the same pictures.
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "core/poll_source.h"

namespace plovex {

class TrafficPoll : public PollSource {
 public:
  PollTexts Poll(TPlovexSettings& s) override {
    rate_ = std::clamp<std::int64_t>(rate_ + step_(rng_), 0, 80000);
    const std::int64_t burst = rng_() % 20 == 0 ? 30000 : 0;
    s.Oid1.PrevValue = s.Oid1.Value;
    s.Oid1.Value += rate_ + burst;
    s.Oid2.PrevValue = s.Oid2.Value;
    s.Oid2.Value += rate_ / 4;
    return {std::to_string(s.Oid1.Value),
            std::to_string(s.Oid2.Value),
            "Linux router 5.10",
            "12 Days 3h04m05s",
            "gateway",
            "62.4.1.9",
            "hall"};
  }

 private:
  std::mt19937 rng_{7};
  std::uniform_int_distribution<std::int64_t> step_{-4000, 4000};
  std::int64_t rate_ = 20000;
};

}  // namespace plovex
