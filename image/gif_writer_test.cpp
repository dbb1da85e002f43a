#include "image/gif_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "image/gif_color_cube.h"
#include "image/testing/gif_test_support.h"

namespace plovex {
namespace {

using giftest::Bytes;

// 6 + 7 + 10 + 768 + minimum code size + terminator + trailer.
constexpr std::size_t kFixedBytes = 794;

// The file of a picture, parsed; fails the test when it does not parse.
giftest::ParsedGif Parsed(const Bytes& file) {
  std::optional<giftest::ParsedGif> parsed = giftest::ParseGif(file);
  EXPECT_TRUE(parsed.has_value()) << "the file's block structure is broken";
  return parsed.value_or(giftest::ParsedGif{});
}

// The size rule, and sub-blocks of 255 bytes but for a shorter last one.
void ExpectSoundLayout(const Bytes& file) {
  const giftest::ParsedGif g = Parsed(file);
  ASSERT_FALSE(g.block_sizes.empty());
  EXPECT_EQ(file.size(), kFixedBytes + g.codes.size() + g.block_sizes.size());
  for (std::size_t i = 0; i + 1 < g.block_sizes.size(); ++i) EXPECT_EQ(g.block_sizes[i], 255u) << i;
  EXPECT_GE(g.block_sizes.back(), 1u);
  EXPECT_LE(g.block_sizes.back(), 255u);
  EXPECT_EQ(g.block_sizes.size(), (g.codes.size() + 254) / 255);
}

void ExpectDecodes(const Surface& picture, const std::string& what) {
  SCOPED_TRACE(what);
  const Bytes file = EncodePictureGif(picture);
  ExpectSoundLayout(file);
  EXPECT_EQ(Parsed(file).codes, giftest::ReferenceLzw(giftest::ReferenceIndices(picture), 8).bytes);
  giftest::ScratchDir dir;
  giftest::WriteFile(dir / "picture.gif", file);
  giftest::ExpectDecodesTo(dir / "picture.gif", picture);
}

TEST(GifWriterLayout, HeaderBytesAreExactlyThoseOfTheFormat) {
  const Bytes file = EncodePictureGif(Surface(400, 160));
  ASSERT_GT(file.size(), kFixedBytes);
  const Bytes head(file.begin(), file.begin() + 23);
  EXPECT_EQ(head, (Bytes{'G',  'I',  'F',  '8',  '7',  'a',         // signature, version
                         0x90, 0x01, 0xA0, 0x00, 0x77, 0x00, 0x00,  // logical screen
                         0x2C, 0,    0,    0,    0,    0x90, 0x01,
                         0xA0, 0x00, 0x87}));  // image descriptor
  for (int i = 0; i < 256; ++i) {
    const std::size_t at = 23 + 3 * static_cast<std::size_t>(i);
    const bool cube = i < 216;
    EXPECT_EQ(file[at], cube ? 51 * (i / 36) : 0) << i;
    EXPECT_EQ(file[at + 1], cube ? 51 * (i / 6 % 6) : 0) << i;
    EXPECT_EQ(file[at + 2], cube ? 51 * (i % 6) : 0) << i;
  }
  EXPECT_EQ(file[791], 8);  // LZW minimum code size
  EXPECT_EQ(file[file.size() - 2], 0x00);
  EXPECT_EQ(file.back(), 0x3B);
}

TEST(GifWriterLayout, WhitePictureIsOneColourAndSmall) {
  const Surface white(400, 160);
  const giftest::ParsedGif g = Parsed(EncodePictureGif(white));
  EXPECT_EQ(g.codes, giftest::ReferenceLzw(Bytes(64000, 215), 8).bytes);
  EXPECT_LT(g.codes.size(), 600u);
  ExpectDecodes(white, "white");
}

TEST(GifWriterDecoders, RandomColoursFillAndClearTheDictionary) {
  const Surface picture = giftest::RandomPicture(400, 160, 5);
  EXPECT_GE(giftest::ReferenceLzw(giftest::ReferenceIndices(picture), 8).clears_after_first, 5);
  ExpectDecodes(picture, "random");
}

TEST(GifWriterDecoders, TrafficPicture) { ExpectDecodes(giftest::TrafficPicture(), "traffic"); }

TEST(GifWriterDecoders, EveryColourAndItsNeighbours) {
  // Each cube level's edges (v = 51k - 4 and 51k - 3) in every channel.
  Surface picture(256, 8);
  for (int x = 0; x < 256; ++x) {
    for (int y = 0; y < 8; ++y) {
      const std::uint32_t v = static_cast<std::uint32_t>(x);
      picture.SetPixel(x, y, y % 3 == 0 ? v : y % 3 == 1 ? v << 8 : v << 16 | (255 - v));
    }
  }
  ExpectDecodes(picture, "levels");
}

TEST(GifWriterDecoders, CodeStreamEndsRightOnAWidthChange) {
  // A row of random colours cut where the last prefix is the first code
  // written after the dictionary crossed 512, 1024 and 2048 entries, so the
  // end code is the first code of the wider width.
  const Surface source = giftest::RandomPicture(2400, 1, 17);
  const Bytes indices = giftest::ReferenceIndices(source);
  std::map<int, int> cut_for_width;
  for (int n = 200; n < 2400 && cut_for_width.size() < 3; ++n) {
    const Bytes row(indices.begin(), indices.begin() + n);
    const giftest::ReferenceLzwResult r = giftest::ReferenceLzw(row, 8);
    if (r.ends_on_width_change) cut_for_width.emplace(r.final_width, n);
  }
  ASSERT_EQ(cut_for_width.size(), 3u);
  for (const auto& [width, n] : cut_for_width) {
    Surface picture(n, 1);
    std::copy_n(source.Pixels(), n, picture.Pixels());
    ExpectDecodes(picture, "ends on a change to " + std::to_string(width) + " bits");
  }
}

TEST(GifWriterDecoders, CompressedDataAnExactMultipleOf255Bytes) {
  // Random 40 x 16 pictures compress to about three sub-blocks; search the
  // seeds for one that fills its last sub-block exactly.
  for (std::uint32_t seed = 0; seed < 20000; ++seed) {
    const Surface picture = giftest::RandomPicture(40, 16, seed);
    const Bytes file = EncodePictureGif(picture);
    const giftest::ParsedGif g = Parsed(file);
    if (g.codes.size() % 255 != 0) continue;
    EXPECT_EQ(g.block_sizes, std::vector<std::size_t>(g.codes.size() / 255, 255));
    ExpectDecodes(picture, "seed " + std::to_string(seed));
    return;
  }
  FAIL() << "no picture with a whole number of sub-blocks";
}

TEST(GifImage, FromPictureIsOneCubeFrameCoveringTheScreen) {
  const TGIFImage image = TGIFImage::FromPicture(giftest::TrafficPicture());
  EXPECT_EQ(image.Header().width, 400);
  EXPECT_EQ(image.Header().height, 160);
  EXPECT_FALSE(image.Header().global_color_table.has_value());
  ASSERT_EQ(image.Frames().size(), 1u);
  const TGIFFrame& frame = image.Frames()[0];
  EXPECT_EQ(frame.left, 0);
  EXPECT_EQ(frame.top, 0);
  EXPECT_FALSE(frame.interlaced);
  ASSERT_TRUE(frame.local_color_table.has_value());
  EXPECT_EQ(frame.local_color_table->entries, CubeColorTable().entries);
  EXPECT_EQ(frame.indices, giftest::ReferenceIndices(giftest::TrafficPicture()));
}

TEST(GifImage, AnIndexBeyondASmallTableIsRefused) {
  TGIFImage image;
  TGIFFrame& frame = image.AddFrame(4, 1);
  frame.local_color_table = TGIFColorTable{{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}}};
  frame.indices = {0, 1, 2, 2};
  const Result<GifBytes> file = EncodeGif(image);
  ASSERT_TRUE(file.ok());
  // Three colours are stored as a table of four, with two-bit codes.
  EXPECT_EQ(Parsed(*file).local_table, (Bytes{0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Parsed(*file).min_code_size, 2);
  frame.indices[3] = 3;
  EXPECT_EQ(EncodeGif(image).status(),
            Status::InvalidArgument("frame 0: Color not in color table"));
}

}  // namespace
}  // namespace plovex
