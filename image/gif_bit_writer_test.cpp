#include "image/gif_bit_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace plovex {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Reads back codes least significant bit first, one bit at a time.
std::uint32_t ReadBits(const Bytes& bytes, std::size_t& bit, int width) {
  std::uint32_t code = 0;
  for (int k = 0; k < width; ++k, ++bit) code |= ((bytes.at(bit / 8) >> (bit % 8)) & 1u) << k;
  return code;
}

TEST(GifBitWriter, PacksLeastSignificantBitFirst) {
  GifBitWriter w;
  w.Put(0x100, 9);  // a clear code: 1 0000 0000
  w.Put(0x0D7, 9);  // index 215
  w.Put(0x3, 2);
  // 0x100 -> byte 0 = 0x00, bit 8 = 1 goes to bit 0 of byte 1;
  // 0x0D7 takes stream bits 9..17, the 2-bit code bits 18..19.
  EXPECT_EQ(w.Finish(), (Bytes{0x00, 0xAF, 0x0D}));
}

TEST(GifBitWriter, PadsTheLastByteWithZeroBits) {
  GifBitWriter w;
  w.Put(0x7, 3);
  EXPECT_EQ(w.Finish(), Bytes{0x07});
  GifBitWriter empty;
  EXPECT_TRUE(empty.Finish().empty());
}

TEST(GifBitWriter, KeepsOnlyTheLowBitsOfAWideCode) {
  GifBitWriter w;
  w.Put(0xFFFF, 4);
  w.Put(0x0, 4);
  EXPECT_EQ(w.Finish(), Bytes{0x0F});
}

TEST(GifBitWriter, RoundTripsMixedWidthsAcrossEveryWordBoundary) {
  // Enough codes to cross the accumulator's 32-bit spills at every offset
  // and to outgrow the initial buffer several times.
  std::mt19937 rng(1);
  std::vector<std::pair<std::uint32_t, int>> codes;
  GifBitWriter w(3);
  std::size_t total_bits = 0;
  for (int i = 0; i < 20000; ++i) {
    const int width = 1 + static_cast<int>(rng() % 12);
    const std::uint32_t code = rng() & ((1u << width) - 1);
    codes.emplace_back(code, width);
    w.Put(code, width);
    total_bits += static_cast<std::size_t>(width);
  }
  const Bytes bytes = w.Finish();
  ASSERT_EQ(bytes.size(), (total_bits + 7) / 8);
  std::size_t bit = 0;
  for (const auto& [code, width] : codes) ASSERT_EQ(ReadBits(bytes, bit, width), code);
  EXPECT_EQ(ReadBits(bytes, bit, static_cast<int>(bytes.size() * 8 - bit)), 0u);
}

}  // namespace
}  // namespace plovex
