#include "image/gif_color_cube.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/testing/gif_test_support.h"

namespace plovex {
namespace {

TEST(GifColorCube, EveryChannelValueFallsToItsTruncatedLevel) {
  for (int v = 0; v < 256; ++v) {
    const int level = (v + 3) / 51;
    EXPECT_EQ(CubeIndex(static_cast<Color>(v)), 36 * level) << v;
    EXPECT_EQ(CubeIndex(static_cast<Color>(v) << 8), 6 * level) << v;
    EXPECT_EQ(CubeIndex(static_cast<Color>(v) << 16), level) << v;
  }
}

TEST(GifColorCube, KnownColours) {
  EXPECT_EQ(CubeIndex(kWhite), 215);
  EXPECT_EQ(CubeIndex(kBlack), 0);
  EXPECT_EQ(CubeIndex(kGrey), 86);                  // level 2 everywhere
  EXPECT_EQ(CubeIndex(kSilver), 129);               // 192 -> level 3
  EXPECT_EQ(CubeIndex(0x00000030), 36);             // red 48 already reaches 51
  EXPECT_EQ(CubeIndex(0x0000002F), 0);              // red 47 stays 0
  EXPECT_EQ(CubeIndex(0xFF000000u | kWhite), 215);  // flag bits are not colour
}

TEST(GifColorCube, ReducingASurfaceMatchesThePlainRule) {
  // 1269 pixels: 39 steps of 32, one of 16 and 5 single pixels, so the wide,
  // the narrow and the plain path all run.
  const Surface picture = giftest::RandomPicture(47, 27, 3);
  std::vector<std::uint8_t> out(47 * 27);
  ReduceToCube(picture.Pixels(), out.size(), out.data());
  EXPECT_EQ(out, giftest::ReferenceIndices(picture));
}

TEST(GifColorCube, EveryChannelValueInEveryVectorLaneFallsToItsLevel) {
  // Each of the three channels takes all 256 values while the other two
  // take other values and the flag byte is set, over a length that runs the
  // wide steps for most pixels: the vector code splits a pixel into 16-bit
  // halves, so a mistake in the mask or the weights shows up here.
  std::vector<std::uint32_t> pixels;
  for (int shift : {0, 8, 16}) {
    for (std::uint32_t v = 0; v < 256; ++v) {
      const std::uint32_t others = (v * 97 + 41) % 256 * 0x010101u;
      const std::uint32_t mask = 0xFFu << shift;
      pixels.push_back(0xA5000000u | (others & ~mask) | v << shift);
    }
  }
  std::vector<std::uint8_t> out(pixels.size());
  ReduceToCube(pixels.data(), pixels.size(), out.data());
  for (std::size_t i = 0; i < pixels.size(); ++i)
    ASSERT_EQ(out[i], giftest::ReferenceIndex(pixels[i])) << std::hex << pixels[i];
}

TEST(GifColorCube, TableIsTheCubeThenBlack) {
  const TGIFColorTable table = CubeColorTable();
  ASSERT_EQ(table.Count(), 256);
  EXPECT_EQ(table.SizeField(), 7);
  EXPECT_EQ(table.entries[0], (TGIFColorTable::Rgb{0, 0, 0}));
  EXPECT_EQ(table.entries[1], (TGIFColorTable::Rgb{0, 0, 51}));
  EXPECT_EQ(table.entries[6], (TGIFColorTable::Rgb{0, 51, 0}));
  EXPECT_EQ(table.entries[36], (TGIFColorTable::Rgb{51, 0, 0}));
  EXPECT_EQ(table.entries[86], (TGIFColorTable::Rgb{102, 102, 102}));
  EXPECT_EQ(table.entries[215], (TGIFColorTable::Rgb{255, 255, 255}));
  for (int i = 216; i < 256; ++i) EXPECT_EQ(table.entries[i], (TGIFColorTable::Rgb{0, 0, 0})) << i;
}

TEST(GifColorTable, SizeFieldIsTheSmallestPowerOfTwoThatHoldsTheTable) {
  TGIFColorTable t;
  const std::pair<int, int> cases[] = {{0, 0}, {2, 0}, {3, 1}, {4, 1}, {5, 2}, {129, 7}, {256, 7}};
  for (const auto& [count, field] : cases) {
    t.entries.assign(count, {0, 0, 0});
    EXPECT_EQ(t.SizeField(), field) << count;
  }
}

}  // namespace
}  // namespace plovex
