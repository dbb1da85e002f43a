#include "core/format_uptime.h"

#include <gtest/gtest.h>

#include <climits>

namespace plovex {
namespace {

TEST(FormatUptime, DaysAndClockTime) {
  EXPECT_EQ(FormatUptime(12345678), "1 Days 10h17m36s");
  EXPECT_EQ(FormatUptime(0), "0 Days 0h00m00s");
  EXPECT_EQ(FormatUptime(6000), "0 Days 0h01m00s");
  EXPECT_EQ(FormatUptime(99), "0 Days 0h00m00s");  // hundredths are dropped
  EXPECT_EQ(FormatUptime(100), "0 Days 0h00m01s");
  EXPECT_EQ(FormatUptime(8639999), "0 Days 23h59m59s");
  EXPECT_EQ(FormatUptime(8640000), "1 Days 0h00m00s");
  EXPECT_EQ(FormatUptime(4294967295LL), "497 Days 2h27m52s");  // the largest time ticks
  EXPECT_EQ(FormatUptime(3600000LL + 6100), "0 Days 10h01m01s");
}

TEST(FormatUptime, NegativeCountsTruncateTowardZero) {
  EXPECT_EQ(FormatUptime(-99), "0 Days 0h00m00s");
  EXPECT_EQ(FormatUptime(-100), "0 Days 0h00m-1s");
  EXPECT_EQ(FormatUptime(-8640000), "-1 Days 0h00m00s");
  EXPECT_FALSE(FormatUptime(INT64_MIN).empty());
  EXPECT_FALSE(FormatUptime(INT64_MAX).empty());
}

}  // namespace
}  // namespace plovex
