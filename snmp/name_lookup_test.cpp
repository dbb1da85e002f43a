#include "snmp/name_lookup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace plovex {
namespace {

TEST(NameLookup, ASlowResolverNeverHoldsTheCallerAndAnAnswerIsKept) {
  std::atomic<int> asked{0};
  std::atomic<bool> release{false};
  NameLookup lookup(50, [&](const std::string& name) -> Result<UdpEndpoint> {
    ++asked;
    if (name == "slow.lan") {
      while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (name == "missing.lan") return Status::NotFound("cannot look up missing.lan");
    return UdpEndpoint{0x0a000001};
  });
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  EXPECT_EQ(lookup.Find("slow.lan", 0).status().code(), StatusCode::kTimedOut);
  EXPECT_EQ(lookup.Find("slow.lan", 1000).status().code(), StatusCode::kTimedOut);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));  // two waits of 50 ms, not forever
  EXPECT_EQ(asked, 1);  // the second call waits on the first lookup
  release = true;
  EXPECT_EQ(lookup.Find("slow.lan", 2000)->address, 0x0a000001u);
  EXPECT_EQ(lookup.Find("slow.lan", 2000 + NameLookup::kKeepMs - 1)->address, 0x0a000001u);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(lookup.Find("slow.lan", 2000 + NameLookup::kKeepMs).ok());
  EXPECT_EQ(asked, 2);  // kept five minutes, then asked again
  // A name not found is asked again each time: it may be a typo being mended.
  EXPECT_EQ(lookup.Find("missing.lan", 0).status().code(), StatusCode::kNotFound);
  EXPECT_EQ(lookup.Find("missing.lan", 1).status().code(), StatusCode::kNotFound);
  EXPECT_EQ(asked, 4);
}

}  // namespace
}  // namespace plovex
