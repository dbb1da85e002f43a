#include "image/gif_lzw_encoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/gif_test_support.h"

namespace plovex {
namespace {

using giftest::Bytes;

Bytes Encode(const Bytes& pixels, int b = 8) {
  std::optional<Bytes> codes = LzwEncode(pixels.data(), pixels.size(), b, 1 << b);
  EXPECT_TRUE(codes.has_value());
  return codes.value_or(Bytes{});
}

Bytes RandomIndices(std::size_t n, int colors, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(n);
  for (auto& p : out) p = static_cast<std::uint8_t>(rng() % colors);
  return out;
}

// Runs of random lengths up to max_run of a few colours: the coder's run
// path and its dictionary path take turns on every run boundary.
Bytes RandomRuns(std::size_t n, int colors, int max_run, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out;
  while (out.size() < n) {
    const auto p = static_cast<std::uint8_t>(rng() % colors);
    out.insert(out.end(), std::min<std::size_t>(1 + rng() % max_run, n - out.size()), p);
  }
  return out;
}

TEST(GifLzwEncoder, ShortStreamsAreExactlyTheCodesOfTheRules) {
  // Clear (256) and end (257), 9 bits each, nothing between.
  EXPECT_EQ(Encode({}), (Bytes{0x00, 0x03, 0x02}));
  // Clear, 7, end.
  EXPECT_EQ(Encode({7}), giftest::ReferenceLzw({7}, 8).bytes);
  // a b a b: a, b, then 258 (the "ab" entered after the first a), end.
  EXPECT_EQ(Encode({1, 2, 1, 2}), giftest::ReferenceLzw({1, 2, 1, 2}, 8).bytes);
}

TEST(GifLzwEncoder, MatchesTheReferenceCoderOnHardInputs) {
  struct Case {
    const char* name;
    Bytes pixels;
    int b;
  };
  std::vector<Case> cases = {
      {"one colour", Bytes(64000, 215), 8},
      {"random", RandomIndices(64000, 216, 1), 8},
      {"random runs", RandomRuns(200000, 5, 40, 2), 8},
      {"long runs", RandomRuns(400000, 3, 900, 3), 8},
      {"alternating", RandomRuns(5000, 2, 1, 4), 8},
      {"two-bit codes", RandomIndices(30000, 4, 5), 2},
      {"two-bit runs", RandomRuns(30000, 4, 20, 6), 2},
      {"traffic", giftest::ReferenceIndices(giftest::TrafficPicture()), 8},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Encode(c.pixels, c.b), giftest::ReferenceLzw(c.pixels, c.b).bytes) << c.name;
  }
}

TEST(GifLzwEncoder, ClearsInsideAVeryLongRun) {
  // One colour long enough to fill the dictionary with its own run strings
  // (1 + 2 + ... + 3837 pixels), so the clear falls inside the run.
  const Bytes pixels(7'600'000, 42);
  const giftest::ReferenceLzwResult reference = giftest::ReferenceLzw(pixels, 8);
  ASSERT_EQ(reference.clears_after_first, 1);
  EXPECT_EQ(Encode(pixels), reference.bytes);
}

TEST(GifLzwEncoder, RandomPicturesClearSeveralTimes) {
  const Bytes pixels = RandomIndices(64000, 216, 9);
  const giftest::ReferenceLzwResult reference = giftest::ReferenceLzw(pixels, 8);
  EXPECT_GE(reference.clears_after_first, 5);
  EXPECT_EQ(Encode(pixels), reference.bytes);
}

TEST(GifLzwEncoder, SameCodeStreamAsGiflib) {
  const Surface pictures[] = {giftest::TrafficPicture(), giftest::RandomPicture(400, 160, 11),
                              Surface(400, 160)};
  for (const Surface& picture : pictures) {
    const Bytes indices = giftest::ReferenceIndices(picture);
    const std::optional<giftest::ParsedGif> theirs =
        giftest::ParseGif(giftest::GiflibEncode(indices, 400, 160));
    ASSERT_TRUE(theirs.has_value());
    EXPECT_EQ(theirs->min_code_size, 8);
    EXPECT_EQ(Encode(indices), theirs->codes);
  }
}

TEST(GifLzwEncoder, RefusesAnIndexBeyondTheColourTable) {
  const Bytes pixels = {0, 1, 2, 3, 4, 0};
  EXPECT_FALSE(LzwEncode(pixels.data(), pixels.size(), 3, 4).has_value());
  EXPECT_TRUE(LzwEncode(pixels.data(), pixels.size(), 3, 5).has_value());
}

}  // namespace
}  // namespace plovex
