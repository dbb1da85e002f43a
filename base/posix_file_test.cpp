#include "base/posix_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "base/signal_set.h"
#include "base/status.h"

namespace plovex {
namespace {

namespace fs = std::filesystem;

class PosixFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("plovex-base-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  fs::path dir_;
};

TEST_F(PosixFileTest, ReplacesContentLeavingNoTemporaryFile) {
  const std::string path = Path("file");
  for (const ReplaceOptions options :
       {ReplaceOptions{}, ReplaceOptions{0600, true, true}, ReplaceOptions{0600, true, true, ".t"},
        ReplaceOptions{0600, false, false, nullptr, true}}) {
    ASSERT_TRUE(ReplaceFileAtomically(path, "first", options).ok());
    ASSERT_TRUE(ReplaceFileAtomically(path, std::string(100000, 'x'), options).ok());
    EXPECT_EQ(Read(path), std::string(100000, 'x'));
    EXPECT_EQ(Entries(), 1u);
    fs::remove(path);
  }
}

// The spare is the last file's inode, written over, unless a reader still
// holds it: that reader goes on reading the whole of what it opened.
TEST_F(PosixFileTest, ASpareIsReusedButNeverWrittenUnderAReader) {
  const std::string path = Path("Plovex.gif"), spare = Path(".Plovex.gif.spare");
  const auto inode = [](const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  ASSERT_TRUE(ReplaceFileThroughSpare(path, "first", spare).ok());
  ASSERT_TRUE(ReplaceFileThroughSpare(path, "second", spare).ok());
  const ino_t first = inode(spare);
  ASSERT_TRUE(ReplaceFileThroughSpare(path, "third!", spare).ok());
  EXPECT_EQ(inode(path), first) << "the spare was not reused";

  UniqueFd reader(::open(path.c_str(), O_RDONLY));  // holds "third!"
  ASSERT_TRUE(ReplaceFileThroughSpare(path, "4", spare).ok());
  EXPECT_EQ(Read(path), "4");  // the longer "second" it was written over is cut
  ASSERT_TRUE(ReplaceFileThroughSpare(path, std::string(5000, 'x'), spare).ok());
  char got[16] = {};
  EXPECT_EQ(::pread(reader.get(), got, sizeof got, 0), 6);
  EXPECT_STREQ(got, "third!");
  EXPECT_EQ(Read(path), std::string(5000, 'x'));
  EXPECT_EQ(Entries(), 2u);
  RemoveSpare(spare);
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(PosixFileTest, KeepModeKeepsTheReplacedFilesBitsAndGivesANewOneExactlyItsMode) {
  const std::string path = Path("hive");
  const ReplaceOptions keep{0600, true, false};
  const mode_t old_umask = ::umask(0077);
  ASSERT_TRUE(ReplaceFileAtomically(Path("plain"), "x", ReplaceOptions{0644, false, false}).ok());
  ::umask(old_umask);
  struct stat st;
  ASSERT_EQ(::stat(Path("plain").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "without keep_mode the umask applies";

  ASSERT_TRUE(ReplaceFileAtomically(path, "new", keep).ok());
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(ReplaceFileAtomically(path, "again", keep).ok());
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(PosixFileTest, ALinkKeepsPointingAtTheReplacedTarget) {
  const std::string target = Path("target");
  const std::string link = Path("link");
  ASSERT_TRUE(ReplaceFileAtomically(target, "old", {}).ok());
  fs::create_symlink(target, link);
  ASSERT_TRUE(ReplaceFileAtomically(link, "new", {}).ok());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(target), "new");
}

TEST_F(PosixFileTest, AFailureSaysWhichStepAndLeavesWhatWasThere) {
  const Status no_dir = ReplaceFileAtomically(Path("missing/file"), "new", {});
  EXPECT_FALSE(no_dir.ok());
  EXPECT_EQ(no_dir.code(), StatusCode::kCannotCreate);
  EXPECT_NE(no_dir.message().find("missing"), std::string::npos) << no_dir.message();

  fs::create_directories(dir_ / "busy" / "inside");  // a full directory cannot be replaced
  const Status busy = ReplaceFileAtomically(Path("busy"), "new", {0600, true, true});
  EXPECT_EQ(busy.code(), StatusCode::kIoError);
  EXPECT_TRUE(fs::is_directory(dir_ / "busy" / "inside"));
  EXPECT_EQ(Entries(), 1u) << "the temporary file is removed";
}

TEST_F(PosixFileTest, WriteAllFailsWhereTheFileTakesNoMoreBytes) {
  UniqueFd full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
  ASSERT_TRUE(full.valid());
  const Status failed = WriteAll(full.get(), "bytes");
  EXPECT_FALSE(failed.ok());
  EXPECT_EQ(failed.code(), StatusCode::kWriteFailed);
  EXPECT_EQ(failed.sys_errno(), ENOSPC);
  UniqueFd file(::open(Path("f").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
  EXPECT_TRUE(WriteAll(file.get(), std::string(70000, 'y')).ok());
  EXPECT_TRUE(file.Close().ok());
  EXPECT_FALSE(file.valid());
  EXPECT_EQ(fs::file_size(Path("f")), 70000u);
}

TEST_F(PosixFileTest, AFixedTemporaryNameIsTakenOverAndABlockedOneFailsTheCreate) {
  const std::string path = Path("hive");
  const ReplaceOptions fixed{0600, true, true, ".tmp"};
  ASSERT_TRUE(ReplaceFileAtomically(path + ".tmp", "left by a crash", {}).ok());
  ASSERT_TRUE(ReplaceFileAtomically(path, "new", fixed).ok());
  EXPECT_EQ(Read(path), "new");
  EXPECT_EQ(Entries(), 1u);
  fs::create_directory(path + ".tmp");
  EXPECT_EQ(ReplaceFileAtomically(path, "newer", fixed).code(), StatusCode::kCannotCreate);
  EXPECT_EQ(Read(path), "new");
}

TEST(PathOf, DirectoryOfEveryShapeOfPath) {
  EXPECT_EQ(DirectoryOf("registry.reg"), ".");
  EXPECT_EQ(DirectoryOf("/registry.reg"), "/");
  EXPECT_EQ(DirectoryOf("/a/b/registry.reg"), "/a/b");
}

TEST(Status, CarriesMessageAndCodeAndResultCarriesValueOrFailure) {
  EXPECT_TRUE(Status::Ok().ok());
  const Status e = Status::IoError("broken", EIO).WithContext("hive");
  EXPECT_FALSE(e.ok());
  EXPECT_EQ(e.message(), "hive: broken");
  EXPECT_EQ(e.code(), StatusCode::kIoError);
  EXPECT_EQ(e.sys_errno(), EIO);
  EXPECT_TRUE(Status::Ok().WithContext("hive").ok()) << "context never makes a failure";
  Result<int> good = 5;
  Result<int> bad = Status::NotFound("nope");
  EXPECT_TRUE(good.ok());
  EXPECT_EQ(*good, 5);
  EXPECT_TRUE(good.status().ok());
  EXPECT_FALSE(bad.ok());
  EXPECT_EQ(bad.status().message(), "nope");
  EXPECT_EQ(bad.value_or(9), 9);
}

TEST(TerminationSignals, TheSetHoldsExactlyTheThreeSignals) {
  const sigset_t set = TerminationSignalSet();
  for (int sig = 1; sig < NSIG; ++sig) {
    const bool want = sig == SIGTERM || sig == SIGINT || sig == SIGHUP;
    EXPECT_EQ(sigismember(&set, sig) == 1, want) << sig;
  }
}

TEST(TerminationSignals, APendingBlockedSignalIsSeen) {
  sigset_t old;
  const sigset_t set = TerminationSignalSet();
  ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &set, &old), 0);
  EXPECT_FALSE(TerminationSignalPending());
  ASSERT_EQ(::raise(SIGHUP), 0);
  EXPECT_TRUE(TerminationSignalPending());
  const timespec zero{0, 0};
  EXPECT_EQ(sigtimedwait(&set, nullptr, &zero), SIGHUP);
  EXPECT_FALSE(TerminationSignalPending());
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

}  // namespace
}  // namespace plovex
