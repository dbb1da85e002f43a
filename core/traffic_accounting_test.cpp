#include "core/traffic_accounting.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/plovex_error.h"

namespace plovex {
namespace {

constexpr std::int64_t kI64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kI64Min = std::numeric_limits<std::int64_t>::min();

std::string ErrorOf(auto&& f) {
  try {
    f();
  } catch (const PlovexError& e) {
    return e.what();
  }
  return "";
}

TEST(IntervalRate, ForwardDifferenceOverRefresh) {
  EXPECT_EQ(IntervalRate(1000, 5000, 1, 64000), 4000);
  EXPECT_EQ(IntervalRate(1000, 5000, 3, 64000), 1333);
  EXPECT_EQ(IntervalRate(5000, 5000, 1, 64000), 0);
  // 64 bits throughout: a difference beyond 2^31 is a large rate, not a negative one.
  EXPECT_EQ(IntervalRate(0, 5000000000, 1, 64000), 5000000000);
  EXPECT_EQ(IntervalRate(kI64Min, kI64Max, 1, 64000), kI64Max);
  EXPECT_EQ(IntervalRate(0, 6000, -3, 64000), 2000);  // a negative period counts by magnitude
  EXPECT_EQ(IntervalRate(0, 6000, std::numeric_limits<std::int32_t>::min(), 64000), 0);
}

TEST(IntervalRate, Wraps32BitCountersAndDropsImplausibleJumps) {
  // 4294967000 -> 200 is a wrap of 496 bytes, not a distance of 4294966800.
  EXPECT_EQ(IntervalRate(4294967000, 200, 1, 64000), 496);
  EXPECT_EQ(IntervalRate(4294967295, 0, 1, 64000), 1);
  EXPECT_EQ(IntervalRate(4294967000, 200, 2, 64000), 248);
  // A corrected rate above twice full scale is an agent restart or counter reset.
  EXPECT_EQ(IntervalRate(10000000, 5, 1, 64000), 0);
  EXPECT_EQ(IntervalRate(4294967296 - 128000, 0, 1, 64000), 128000);
  EXPECT_EQ(IntervalRate(4294967296 - 128001, 0, 1, 64000), 0);
  // Previous reading beyond 32 bits: a 64-bit counter does not wrap, it was reset.
  EXPECT_EQ(IntervalRate(5000000000, 100, 1, 64000), 0);
  EXPECT_EQ(IntervalRate(100, kI64Min, 1, 64000), 0);
  EXPECT_EQ(IntervalRate(4294967000, 200, 1, -5), 0);
}

TEST(IntervalRate, ZeroRefreshIsADivisionByZero) {
  EXPECT_EQ(ErrorOf([] { IntervalRate(5, 5, 0, 64000); }), "Division by zero");
  EXPECT_EQ(ErrorOf([] { IntervalRate(9, 5, 0, 64000); }), "Division by zero");
}

TEST(IntervalBytes, CountsGrowthAndWrapsButNeverResetsOrRestarts) {
  struct Row {
    std::int64_t prev, value;
    std::int32_t refresh;
    bool wide;
    std::int64_t bytes;
  } rows[] = {
      {1000, 5000, 3, false, 4000},          // the growth itself, not the rate
      {0, 5000000000, 1, true, 5000000000},  // 64-bit growth
      {4294967000, 200, 1, false, 496},      // a 32-bit wrap
      {4294967295, 0, 2, false, 1},          // a wrap too small for a whole rate
      {10000000, 5, 1, false, 0},            // a reset or an agent restart
      {5000000000, 100, 1, true, 0},         // a 64-bit counter going back
      {4294967000, 200, 1, true, 0},         // a wide counter never wraps
      {100, std::numeric_limits<std::int64_t>::min(), 1, false, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(IntervalBytes(r.prev, r.value, r.refresh, 64000, r.wide), r.bytes)
        << r.prev << " -> " << r.value;
  }
  EXPECT_EQ(ErrorOf([] { IntervalBytes(9, 5, 0, 64000); }), "Division by zero");
}

TEST(ScaledHeight, RoundsHalfToEvenAfterDividing) {
  EXPECT_EQ(ScaledHeight(32000, 64000, 135), 68);  // 67.5
  EXPECT_EQ(ScaledHeight(32000, 64000, 15), 8);    // 7.5
  EXPECT_EQ(ScaledHeight(64000, 64000, 135), 135);
  EXPECT_EQ(ScaledHeight(0, 64000, 135), 0);
  EXPECT_EQ(ScaledHeight(15360, 64000, 5), 1);  // 1.2
  EXPECT_EQ(ScaledHeight(32000, 64000, 5), 2);  // 2.5 to even
  EXPECT_EQ(ScaledHeight(38400, 64000, 5), 3);  // 3.0
}

TEST(ScaledHeight, NeverNegativeNorOverflowing) {
  EXPECT_EQ(ScaledHeight(32000, -64000, 135), 0);
  EXPECT_EQ(ScaledHeight(32000, 64000, -135), 0);
  EXPECT_EQ(ScaledHeight(kI64Max, 1, 4294967295), std::int64_t{1} << 62);
}

TEST(ScaledHeight, ZeroFullScaleRaisesTheFloatingPointFaults) {
  EXPECT_EQ(ErrorOf([] { ScaledHeight(1, 0, 135); }), "Floating point division by zero");
  EXPECT_EQ(ErrorOf([] { ScaledHeight(0, 0, 135); }), "Invalid floating point operation");
}

}  // namespace
}  // namespace plovex
