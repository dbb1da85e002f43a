#include "core/int_text.h"

#include <gtest/gtest.h>

#include "core/plovex_error.h"

namespace plovex {
namespace {

TEST(IntText, DecimalWithBlanksAndSign) {
  EXPECT_EQ(StrToInt("  42"), 42);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("-5"), -5);
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
}

TEST(IntText, HexadecimalIsABitPatternOfTheTargetWidth) {
  EXPECT_EQ(StrToInt("$0000A000"), 40960);
  EXPECT_EQ(StrToInt("$80000012"), static_cast<std::int32_t>(0x80000012u));
  EXPECT_EQ(StrToInt("0x1f"), 31);
  EXPECT_EQ(StrToInt("0XFF"), 255);
  EXPECT_EQ(StrToInt("x10"), 16);
  EXPECT_EQ(StrToInt("X10"), 16);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt64("$FFFFFFFF"), 4294967295LL);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
}

TEST(IntText, RejectsWithTheTextInTheMessage) {
  for (const char* bad : {"", " ", "abc", "12 ", "1.5", "$", "0x", "-", "+", "$G1", "2147483648",
                          "-2147483649", "$100000000", "1e3", "--1"}) {
    EXPECT_FALSE(TryStrToInt(bad).ok()) << '"' << bad << '"';
    try {
      StrToInt(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const PlovexError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
  EXPECT_FALSE(TryStrToInt64("9223372036854775808").ok());
  EXPECT_FALSE(TryStrToInt64("$10000000000000000").ok());
  EXPECT_TRUE(TryStrToInt64("2147483648").ok());
}

}  // namespace
}  // namespace plovex
