#include "image/gif_lzw_encoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "image/testing/gif_test_support.h"

namespace plovex {
namespace {

using giftest::Bytes;

Bytes Encode(const Bytes& pixels, int b = 8) {
  Result<Bytes> codes = LzwEncode(pixels.data(), pixels.size(), b, 1 << b);
  EXPECT_TRUE(codes.ok());
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

TEST(GifLzwEncoder, EarlierPicturesLeaveNoTraceInTheDictionary) {
  // The dictionary's memory is reused from call to call; a code left over
  // from an earlier picture would be matched here and change the stream.
  // The random picture ends in the middle of a dictionary generation, and
  // its strings would fit the same random picture again.
  const Bytes random = RandomIndices(64000, 216, 12);
  const Bytes runs = RandomRuns(64000, 3, 30, 13);
  const Bytes expected_random = giftest::ReferenceLzw(random, 8).bytes;
  const Bytes expected_runs = giftest::ReferenceLzw(runs, 8).bytes;
  const Bytes expected_small = giftest::ReferenceLzw(runs, 3).bytes;
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(Encode(random), expected_random) << round;
    EXPECT_EQ(Encode(runs), expected_runs) << round;
    EXPECT_EQ(Encode(runs, 3), expected_small) << round;
    EXPECT_EQ(Encode(random), expected_random) << round;
  }
}

TEST(GifLzwEncoder, ThreadsEncodeIndependently) {
  const Bytes a = RandomIndices(64000, 216, 14);
  const Bytes b = giftest::ReferenceIndices(giftest::TrafficPicture());
  const Bytes expected_a = giftest::ReferenceLzw(a, 8).bytes;
  const Bytes expected_b = giftest::ReferenceLzw(b, 8).bytes;
  auto encode_many = [](const Bytes& pixels, const Bytes& expected, int& mismatches) {
    for (int i = 0; i < 20; ++i) {
      if (Encode(pixels) != expected) ++mismatches;
    }
  };
  int mismatches_a = 0;
  int mismatches_b = 0;
  std::thread first(encode_many, std::cref(a), std::cref(expected_a), std::ref(mismatches_a));
  std::thread second(encode_many, std::cref(b), std::cref(expected_b), std::ref(mismatches_b));
  first.join();
  second.join();
  EXPECT_EQ(mismatches_a, 0);
  EXPECT_EQ(mismatches_b, 0);
}

TEST(GifLzwEncoder, RefusesAnIndexBeyondTheColourTable) {
  const Bytes pixels = {0, 1, 2, 3, 4, 0};
  EXPECT_EQ(LzwEncode(pixels.data(), pixels.size(), 3, 4).status(),
            Status::InvalidArgument("Color not in color table"));
  EXPECT_TRUE(LzwEncode(pixels.data(), pixels.size(), 3, 5).ok());
}

}  // namespace
}  // namespace plovex
