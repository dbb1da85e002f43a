#include "base/decimal.h"

#include <gtest/gtest.h>

#include "base/big_endian.h"
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

TEST(BigEndian, PacksHighByteFirstAndReadsItBack) {
  const struct {
    std::uint64_t v;
    std::size_t bytes;
    std::string packed;
    std::int32_t signed32;  // the packed bytes read as a signed INTEGER
  } kRows[] = {
      {0, 0, "", 0},
      {0x7F, 1, "\x7F", 127},
      {0xFF, 1, "\xFF", -1},
      {0x00FF, 2, std::string("\x00\xFF", 2), 255},
      {0x1234ABCD, 2, "\xAB\xCD", static_cast<std::int32_t>(0xFFFFABCD)},  // only the low bytes
      {0x80000000, 4, std::string("\x80\x00\x00\x00", 4), INT32_MIN},
      {0x0102030405060708ULL, 8, "\x01\x02\x03\x04\x05\x06\x07\x08", 0x05060708},
  };
  for (const auto& row : kRows) {
    std::string appended;
    AppendBigEndian(appended, row.v, row.bytes);
    EXPECT_EQ(appended, row.packed) << row.v;
    char written[8];
    EXPECT_EQ(std::string(written, WriteBigEndian(written, row.v, row.bytes)), row.packed);
    const std::uint64_t low = row.bytes == 8 ? row.v : row.v & ((1ULL << (8 * row.bytes)) - 1);
    EXPECT_EQ(ReadBigEndian(row.packed), low) << row.v;
    EXPECT_EQ(ReadBigEndianSigned32(row.packed), row.signed32) << row.v;
  }
  std::vector<std::uint8_t> bytes;
  AppendBigEndian(bytes, 0x0102, 2);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x01, 0x02}));
}

}  // namespace
}  // namespace plovex
