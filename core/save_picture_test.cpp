#include "core/save_picture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/gif_picture_writer.h"
#include "core/plovex_error.h"
#include "image/gif_writer.h"
#include "image/testing/gif_file_test_support.h"

namespace plovex {
namespace {

namespace fs = std::filesystem;

GifBytes Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return GifBytes(std::istreambuf_iterator<char>(in), {});
}

Surface Graph(Color bar) {
  Surface s(400, 160);
  s.FillRect(0, 60, 400, 61, kSilver);
  for (int x = 0; x < 400; x += 3) s.FillRect(x, 160 - x % 97, x + 1, 160, bar);
  return s;
}

// The message SavePicture throws for names, or "" when it does not throw.
std::string FailureOf(const Surface& picture, const std::vector<std::string>& names) {
  try {
    SavePicture(picture, names);
  } catch (const PlovexError& e) {
    return e.what();
  }
  return "";
}

TEST(SavePicture, WritesTheSameGifUnderEachName) {
  filetest::ScratchWorkingDir cwd;
  const Surface picture = Graph(0x00C000);
  SavePicture(picture, {"Plovex.gif", "Plovex 9h5m.gif"});
  const GifBytes expected = EncodePictureGif(picture);
  EXPECT_EQ(Contents("Plovex.gif"), expected);
  EXPECT_EQ(Contents("Plovex 9h5m.gif"), expected);
}

TEST(GifPictureWriter, KeepsItsSpareOnlyWhileItLives) {
  filetest::ScratchWorkingDir cwd;
  const TPlovexSettings s;
  const Surface picture = Graph(0x00C000);
  {
    GifPictureWriter writer(s, "");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(writer.Save(picture, {"Plovex.gif"}).ok());
    EXPECT_EQ(cwd.Names().size(), 2u);
  }
  EXPECT_EQ(cwd.Names(), std::vector<std::string>{"Plovex.gif"});
  EXPECT_EQ(Contents("Plovex.gif"), EncodePictureGif(picture));
}

TEST(SavePicture, ReusedNameHoldsOnlyTheNewPicture) {
  filetest::ScratchWorkingDir cwd;
  // The older picture is the busier one, so its file is the longer.
  Surface busy(400, 160);
  for (int i = 0; i < 400 * 160; ++i)
    busy.Pixels()[i] = static_cast<Color>(i * 2654435761u) & 0xFFFFFF;
  SavePicture(busy, {"Plovex 9h5m.gif"});
  const Surface calm = Graph(0x0000FF);
  SavePicture(calm, {"Plovex 9h5m.gif"});
  EXPECT_EQ(Contents("Plovex 9h5m.gif"), EncodePictureGif(calm));
}

TEST(SavePicture, FailuresThrowTheMessagesAndSkipLaterNames) {
  filetest::ScratchWorkingDir cwd;
  fs::create_directory("PlovexSnapShot.gif");
  EXPECT_EQ(FailureOf(Graph(0), {"PlovexSnapShot.gif"}), "Cannot create file PlovexSnapShot.gif");
  fs::create_directory("Plovex.gif");
  EXPECT_EQ(FailureOf(Graph(0), {"Plovex.gif", "Plovex 0h15m.gif"}),
            "Cannot create file Plovex.gif");
  EXPECT_FALSE(fs::exists("Plovex 0h15m.gif"));
}

TEST(SavePicture, AFullDiskThrowsStreamWriteError) {
  filetest::ScratchWorkingDir cwd;
  fs::create_directory("small");
  const std::string outcome = filetest::InSmallFileSystem(cwd.Path() / "small", 4, [] {
    Surface noisy(400, 160);
    for (int i = 0; i < 400 * 160; ++i) noisy.Pixels()[i] = static_cast<Color>(i * 40503u);
    return FailureOf(noisy, {"Plovex.gif"});
  });
  EXPECT_EQ(outcome, "Stream write error");
}

}  // namespace
}  // namespace plovex
