#include "base/decimal.h"

#include <gtest/gtest.h>

#include "base/hex_digits.h"
#include "base/little_endian.h"

namespace plovex {
namespace {

TEST(Decimal, DigitsUpToTheLimitAndNothingElse) {
  EXPECT_EQ(ParseDecimalDigits("0"), 0u);
  EXPECT_EQ(ParseDecimalDigits("18446744073709551615"), UINT64_MAX);
  EXPECT_FALSE(ParseDecimalDigits("18446744073709551616").ok());
  EXPECT_EQ(ParseDecimalDigits("255", 255), 255u);
  EXPECT_FALSE(ParseDecimalDigits("256", 255).ok());
  for (const char* bad : {"", "+1", "-1", " 1", "1 ", "1a", "0x1", "\xB9"}) {
    EXPECT_FALSE(ParseDecimalDigits(bad).ok()) << bad;
  }
}

TEST(Decimal, SignedWithinTheWidthsRange) {
  EXPECT_EQ(ParseSignedDecimal("2147483647", 32), 2147483647);
  EXPECT_EQ(ParseSignedDecimal("-2147483648", 32), -2147483648LL);
  EXPECT_EQ(ParseSignedDecimal("+7", 32), 7);
  EXPECT_EQ(ParseSignedDecimal("1x", 32).status().message(), "'1x' is not a decimal number");
  EXPECT_FALSE(ParseSignedDecimal("2147483648", 32).ok());
  EXPECT_FALSE(ParseSignedDecimal("-2147483649", 32).ok());
  EXPECT_EQ(ParseSignedDecimal("-9223372036854775808", 64), INT64_MIN);
  EXPECT_FALSE(ParseSignedDecimal("9223372036854775808", 64).ok());
  for (const char* bad : {"", "-", "+", "--1", "+-1", " 1", "1.0"}) {
    EXPECT_FALSE(ParseSignedDecimal(bad, 64).ok()) << bad;
  }
}

TEST(HexDigits, EveryCharacterBothWays) {
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    int want = -1;
    if (ch >= '0' && ch <= '9') want = c - '0';
    if (ch >= 'a' && ch <= 'f') want = c - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') want = c - 'A' + 10;
    EXPECT_EQ(HexDigitValue(ch), want) << c;
  }
  for (unsigned v = 0; v < 16; ++v) {
    EXPECT_EQ(HexDigitValue(HexDigitChar(v, HexCase::kUpper)), static_cast<int>(v));
    EXPECT_EQ(HexDigitValue(HexDigitChar(v, HexCase::kLower)), static_cast<int>(v));
  }
  std::string out;
  AppendHexByte(out, 0xA5, HexCase::kUpper);
  AppendHexByte(out, 0x0F, HexCase::kLower);
  EXPECT_EQ(out, "A50f");
}

TEST(LittleEndian, PacksLowByteFirstAndReadsItBack) {
  std::string bytes;
  AppendLittleEndian(bytes, 0x3FF3333333333333ULL, 8);
  EXPECT_EQ(bytes, std::string("\x33\x33\x33\x33\x33\x33\xF3\x3F", 8));
  EXPECT_EQ(ReadLittleEndian(bytes), 0x3FF3333333333333ULL);
  std::vector<std::uint8_t> word;
  AppendLittleEndian(word, 0x1234ABCD, 2);  // only the low bytes asked for
  EXPECT_EQ(word, (std::vector<std::uint8_t>{0xCD, 0xAB}));
  EXPECT_EQ(ReadLittleEndian(std::string("\xFF\xFF\xFF\x80", 4)), 0x80FFFFFFu);
  EXPECT_EQ(ReadLittleEndian(""), 0u);
}

}  // namespace
}  // namespace plovex
