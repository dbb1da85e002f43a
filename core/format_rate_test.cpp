#include "core/format_rate.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "core/replace_first.h"

namespace plovex {
namespace {

TEST(FormatRate, KilobytesWithAtMostOneDecimal) {
  EXPECT_EQ(FormatRate(64000, "."), "62.5 kB/s");
  EXPECT_EQ(FormatRate(0, "."), "0 kB/s");
  EXPECT_EQ(FormatRate(1000, "."), "1 kB/s");
  EXPECT_EQ(FormatRate(4000, "."), "3.9 kB/s");  // 400 / 10.24 = 39.06
  EXPECT_EQ(FormatRate(1536, "."), "1.5 kB/s");
  EXPECT_EQ(FormatRate(9, "."), "0 kB/s");  // k = 0
  EXPECT_EQ(FormatRate(1024000, "."), "1000 kB/s");
}

TEST(FormatRate, ExactHalvesRoundToEven) {
  // 128 / 10.24 = 12.5 exactly: to 12; 384 / 10.24 = 37.5: to 38.
  EXPECT_EQ(FormatRate(1280, "."), "1.2 kB/s");
  EXPECT_EQ(FormatRate(3840, "."), "3.8 kB/s");
  EXPECT_EQ(FormatRate(1290, "."), "1.3 kB/s");  // 129 / 10.24 = 12.6
}

TEST(FormatRate, ExtremesNeitherOverflowNorLoseTheSign) {
  EXPECT_EQ(FormatRate(std::numeric_limits<std::int64_t>::max(), "."), "9007199254740992 kB/s");
  EXPECT_EQ(FormatRate(-64000, "."), "-62.5 kB/s");
  EXPECT_EQ(FormatRate(-500, "."), "-0.5 kB/s");
  EXPECT_EQ(FormatRate(std::numeric_limits<std::int64_t>::min(), ".").substr(0, 1), "-");
}

TEST(FormatRate, UsesTheLocaleDecimalSeparator) {
  EXPECT_EQ(FormatRate(64000, ","), "62,5 kB/s");
  EXPECT_EQ(FormatRate(1000, ","), "1 kB/s");
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  EXPECT_EQ(FormatRate(64000), "62.5 kB/s");
}

TEST(ReplaceFirst, ReplacesOnlyTheFirstOccurrence) {
  EXPECT_EQ(ReplaceFirst("a%1b%1", "%1", "X"), "aXb%1");
  EXPECT_EQ(ReplaceFirst("no placeholder", "%1", "X"), "no placeholder");
  EXPECT_EQ(ReplaceFirst("%1", "%1", ""), "");
  EXPECT_EQ(ReplaceFirst("abc", "", "X"), "abc");
  // A value naming a later placeholder is itself subject to that replacement.
  EXPECT_EQ(ReplaceFirst(ReplaceFirst("[%1]", "%1", "%2"), "%2", "two"), "[two]");
}

}  // namespace
}  // namespace plovex
