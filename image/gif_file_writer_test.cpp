#include "image/gif_file_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "image/testing/gif_file_test_support.h"
#include "image/testing/gif_test_support.h"

namespace plovex {
namespace {

using giftest::Bytes;
using giftest::ReadFile;
using giftest::WriteFile;
namespace fs = std::filesystem;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 31);
  return b;
}

TEST(GifFileWriter, WritesEveryNameInOrderWithTheSameBytes) {
  filetest::ScratchWorkingDir cwd;
  const Bytes bytes = Pattern(3000, 1);
  EXPECT_TRUE(WriteFilesReplacing(bytes, {"Plovex.gif", "Plovex 9h5m.gif"}).ok());
  EXPECT_EQ(ReadFile("Plovex.gif"), bytes);
  EXPECT_EQ(ReadFile("Plovex 9h5m.gif"), bytes);
  EXPECT_EQ(cwd.Names(), (std::vector<std::string>{"Plovex 9h5m.gif", "Plovex.gif"}));
}

TEST(GifFileWriter, ReplacesALongerFileCompletely) {
  filetest::ScratchWorkingDir cwd;
  WriteFile("Plovex.gif", Pattern(100000, 9));
  const Bytes bytes = Pattern(900, 2);
  EXPECT_TRUE(WriteFilesReplacing(bytes, {"Plovex.gif"}).ok());
  EXPECT_EQ(ReadFile("Plovex.gif"), bytes);
  // Readable by others, as any file the user creates (a web server serves it).
  EXPECT_NE(fs::status("Plovex.gif").permissions() & fs::perms::others_read, fs::perms::none);
  EXPECT_EQ(cwd.Names(), std::vector<std::string>{"Plovex.gif"});
}

TEST(GifFileWriter, ReplacesTheTargetOfASymbolicLink) {
  filetest::ScratchWorkingDir cwd;
  fs::create_directory("www");
  WriteFile("www/traffic.gif", Pattern(5000, 3));
  fs::create_symlink("www/traffic.gif", "Plovex.gif");
  const Bytes bytes = Pattern(700, 4);
  EXPECT_TRUE(WriteFilesReplacing(bytes, {"Plovex.gif"}).ok());
  EXPECT_TRUE(fs::is_symlink("Plovex.gif"));
  EXPECT_EQ(ReadFile("www/traffic.gif"), bytes);
}

TEST(GifFileWriter, UncreatableNamesFailWithTheNameAndLeaveNoTrace) {
  filetest::ScratchWorkingDir cwd;
  WriteFile("plain", Pattern(10, 5));
  fs::create_directory("folder.gif");
  const struct {
    std::string name;
    std::string message;
  } cases[] = {
      {"plain/Plovex.gif", "Cannot create file plain/Plovex.gif"},  // parent is a file
      {"missing/Plovex.gif", "Cannot create file missing/Plovex.gif"},
      {"folder.gif", "Cannot create file folder.gif"},  // a directory cannot be replaced
      {"", "Cannot create file "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WriteFilesReplacing(Pattern(100, 6), {c.name}).message(), c.message) << c.name;
  }
  EXPECT_TRUE(fs::is_directory("folder.gif"));
  EXPECT_TRUE(fs::is_empty("folder.gif"));
  EXPECT_EQ(ReadFile("plain"), Pattern(10, 5));
  EXPECT_EQ(cwd.Names(), (std::vector<std::string>{"folder.gif", "plain"}));
}

TEST(GifFileWriter, StopsAtTheFirstFailedName) {
  filetest::ScratchWorkingDir cwd;
  fs::create_directory("busy.gif");
  EXPECT_EQ(WriteFilesReplacing(Pattern(100, 7), {"first.gif", "busy.gif", "third.gif"}).message(),
            "Cannot create file busy.gif");
  EXPECT_EQ(ReadFile("first.gif"), Pattern(100, 7));
  EXPECT_FALSE(fs::exists("third.gif"));
}

TEST(GifFileWriter, AFullDiskIsAStreamWriteErrorAndKeepsTheOldFile) {
  filetest::ScratchWorkingDir cwd;
  fs::create_directory("small");
  const std::string outcome = filetest::InSmallFileSystem(cwd.Path() / "small", 64, [] {
    const Bytes old_file = Pattern(20000, 8);
    WriteFile("Plovex.gif", old_file);
    const Status failure = WriteFilesReplacing(Pattern(60000, 9), {"Plovex.gif"});
    if (failure.message() != "Stream write error")
      return "failure was " + (failure.ok() ? std::string("none") : failure.message());
    if (ReadFile("Plovex.gif") != old_file) return std::string("the old file was damaged");
    std::size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(".")) {
      (void)entry;
      ++entries;
    }
    if (entries != 1) return std::string("the temporary file was left behind");
    // Room again: the next write succeeds.
    fs::remove("Plovex.gif");
    if (!WriteFilesReplacing(Pattern(60000, 9), {"Plovex.gif"}).ok())
      return std::string("no recovery");
    return std::string();
  });
  EXPECT_EQ(outcome, "");
}

TEST(GifFileWriter, ConcurrentReadersNeverSeeATornFile) {
  filetest::ScratchWorkingDir cwd;
  // Two versions of different lengths, so a torn or truncated read shows.
  const Bytes a = Pattern(40000, 10);
  const Bytes b = Pattern(90000, 11);
  ASSERT_TRUE(WriteFilesReplacing(a, {"Plovex.gif"}).ok());
  std::atomic<bool> done{false};
  std::atomic<int> reads{0}, torn{0};
  std::thread reader([&] {
    while (!done.load()) {
      const Bytes got = ReadFile(cwd.Path() / "Plovex.gif");
      if (got != a && got != b) ++torn;
      ++reads;
    }
  });
  for (int i = 0; i < 400; ++i) {
    ASSERT_TRUE(WriteFilesReplacing(i % 2 ? a : b, {"Plovex.gif"}).ok());
  }
  done = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0) << "of " << reads.load() << " reads";
  EXPECT_GT(reads.load(), 10);
  EXPECT_EQ(cwd.Names(), std::vector<std::string>{"Plovex.gif"});
}

}  // namespace
}  // namespace plovex
