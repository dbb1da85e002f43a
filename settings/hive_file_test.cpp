#include "settings/hive_file.h"
#include "settings/testing/error_message_of.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

#include "core/plovex_error.h"
#include "settings/headless_controls.h"
#include "settings/hive_format.h"
#include "settings/hive_text_reader.h"
#include "settings/registry_key.h"
#include "settings/settings_store.h"
#include "settings/settings_tables.h"
#include "settings/utf16.h"

namespace plovex {
namespace {

namespace fs = std::filesystem;

const std::string kCurrentKey = "HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1";

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "plovex-hive-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A first start followed by a close, as the program runs them.
void FirstStartAndClose(HiveFile& hive) {
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  store.SaveSettings();
}

const char kFirstStartHive[] =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1]\n"
    "\"VersionNum\"=hex:33,33,33,33,33,33,f3,3f\n"
    "\"IP\"=\"192.168.1.1\"\n"
    "\"Community\"=\"tamrel\"\n"
    "\"SNMPVersion\"=\"1\"\n"
    "\"SNMPUser\"=\"\"\n"
    "\"SNMPAuthProtocol\"=\"\"\n"
    "\"SNMPPrivProtocol\"=\"\"\n"
    "\"SNMPAuthKey\"=\"\"\n"
    "\"SNMPPrivKey\"=\"\"\n"
    "\"OID1\"=\"1.3.6.1.2.1.2.2.1.10.2\"\n"
    "\"OID1Cx\"=dword:00000002\n"
    "\"OID1Cy\"=dword:00000000\n"
    "\"OID1color\"=\"clGreen\"\n"
    "\"OID1full\"=dword:00000001\n"
    "\"OID1MaxColor\"=\"$0000A000\"\n"
    "\"OID1Grad\"=dword:00000000\n"
    "\"OID2\"=\"1.3.6.1.2.1.2.2.1.16.2\"\n"
    "\"OID2Cx\"=dword:00000032\n"
    "\"OID2Cy\"=dword:00000000\n"
    "\"OID2Color\"=\"clBlue\"\n"
    "\"OID2Full\"=dword:00000000\n"
    "\"OID2MaxColor\"=\"$00FF4040\"\n"
    "\"OID2Grad\"=dword:00000000\n"
    "\"Interface\"=\"\"\n"
    "\"GraphTX\"=dword:00000000\n"
    "\"GraphTY\"=dword:0000000c\n"
    "\"GraphBX\"=dword:00000190\n"
    "\"GraphBY\"=dword:00000093\n"
    "\"Hticks\"=dword:00000001\n"
    "\"Vticks\"=dword:00000001\n"
    "\"TickFreq\"=dword:00000001\n"
    "\"Refresh\"=dword:00000001\n"
    "\"GLabel\"=dword:00000001\n"
    "\"MaxBytes\"=dword:0000fa00\n"
    "\"TxtSize\"=dword:00000007\n"
    "\"SaveGif\"=dword:00000001\n"
    "\"SaveGifFreq\"=dword:00000000\n"
    "\"GifFolder\"=\"\"\n"
    "\"OIDTotal\"=dword:00000001\n"
    "\"OIDTCx\"=dword:00000064\n"
    "\"OIDTCy\"=dword:00000000\n"
    "\"Txt1\"=\"System : %1\"\n"
    "\"Txt1OID\"=\"1.3.6.1.2.1.1.1.0\"\n"
    "\"Txt1Format\"=\"String\"\n"
    "\"Txt1Enable\"=dword:00000001\n"
    "\"Txt1Cx\"=dword:00000000\n"
    "\"Txt1Cy\"=dword:00000094\n"
    "\"Txt2\"=\"Uptime : %2\"\n"
    "\"Txt2OID\"=\"1.3.6.1.2.1.1.3.0\"\n"
    "\"Txt2Format\"=\"Time\"\n"
    "\"Txt2Enable\"=dword:00000001\n"
    "\"Txt2Cx\"=dword:00000104\n"
    "\"Txt2Cy\"=dword:00000000\n"
    "\"Txt3\"=\"Name : %3\"\n"
    "\"Txt3OID\"=\"1.3.6.1.2.1.1.5.0\"\n"
    "\"Txt3Format\"=\"String\"\n"
    "\"Txt3Enable\"=dword:00000001\n"
    "\"Txt3Cx\"=dword:00000064\n"
    "\"Txt3Cy\"=dword:00000094\n"
    "\"Txt4\"=\"WAN IP : %4\"\n"
    "\"Txt4OID\"=\"1.3.6.1.2.1.4.20.1.1\"\n"
    "\"Txt4Format\"=\"NextAdp\"\n"
    "\"Txt4Enable\"=dword:00000001\n"
    "\"Txt4Cx\"=dword:00000122\n"
    "\"Txt4Cy\"=dword:00000094\n"
    "\"Txt5\"=\"Loc. : %5\"\n"
    "\"Txt5OID\"=\"1.3.6.1.2.1.1.6.0\"\n"
    "\"Txt5Format\"=\"String\"\n"
    "\"Txt5Enable\"=dword:00000001\n"
    "\"Txt5Cx\"=dword:000000aa\n"
    "\"Txt5Cy\"=dword:00000094\n"
    "\"WindowTop\"=dword:00000069\n"
    "\"WindowLeft\"=dword:000000c0\n"
    "\"WindowState\"=dword:00000001\n"
    "\"WindowBorderStyle\"=dword:00000001\n"
    "\"WindowLockDrag\"=dword:00000000\n"
    "\"WindowStayOnTop\"=dword:00000000\n"
    "\"UsageResetDay\"=dword:00000001\n"
    "\"UsageCap\"=\"0\"\n"
    "\"NotifyDownPolls\"=dword:00000003\n"
    "\"NotifyRateAbove\"=dword:00000000\n"
    "\"NotifyRateSeconds\"=dword:0000001e\n"
    "\"NotifyCap\"=dword:00000000\n"
    "\"MetricsListen\"=\"\"\n"
    "\n";

// No temporary file of a commit is left in the directory of `path`.
bool NoTemporaryFileBeside(const std::string& path) {
  for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) {
    if (entry.path().filename().string().ends_with(".tmp")) return false;
  }
  return true;
}

TEST(HiveFile, AFirstStartCreatesTheFileOnlyAtClose) {
  TempDir dir;
  HiveFile hive(dir / "config/Kestrune/registry.reg");
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  EXPECT_FALSE(fs::exists(dir / "config")) << "nothing is written before the close";
  store.SaveSettings();
  EXPECT_EQ(ReadFile(hive.path()), kFirstStartHive);
  struct stat st;
  ASSERT_EQ(::stat(hive.path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_TRUE(NoTemporaryFileBeside(hive.path()));
}

TEST(HiveFile, KeysAndValuesItDoesNotKnowSurviveItsCommits) {
  TempDir dir;
  HiveFile hive(dir / "registry.reg");
  const std::string others =
      "[HKEY_CURRENT_USER\\Software\\Someone\\Else]\n"
      "\"List\"=hex(7):41,00,00,00,00,00\n"
      "@=\"x\"\n\n";
  WriteFile(hive.path(),
            "Windows Registry Editor Version 5.00\r\n\r\n" + std::string(others) +
                "[HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1]\n\"Extra\"=dword:00000007\n");
  ::chmod(hive.path().c_str(), 0644);
  TPlovexSettings s;
  ApplyDefaultSettings(s);
  HeadlessControls controls(s);
  SettingsStore(hive, s, controls).SaveSettings();
  const std::string text = ReadFile(hive.path());
  EXPECT_NE(text.find(others), std::string::npos) << text;
  EXPECT_NE(text.find("\"Extra\"=dword:00000007\n"), std::string::npos);
  EXPECT_NE(text.find("\"VersionNum\"=hex:33,33"), std::string::npos);
  struct stat st;
  ASSERT_EQ(::stat(hive.path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u) << "a replaced file keeps its mode";

  // Unless it holds a version 3 key: then it is its owner's alone.
  EXPECT_TRUE(hive.OpenToOthers());
  s.SnmpPrivKey = "00112233";
  SettingsStore store(hive, s, controls);
  store.SaveSettings();
  ASSERT_EQ(::stat(hive.path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_FALSE(hive.OpenToOthers());
  EXPECT_NE(store.TakeNotice(), "");
}

TEST(HiveFile, ACommitKeepsWhatOthersCommittedSinceTheKeyWasOpened) {
  TempDir dir;
  HiveFile first(dir / "registry.reg");
  HiveFile second(dir / "registry.reg");
  RegistryKey mine(first, kCurrentKeyPath);
  {
    RegistryKey theirs(second, kCurrentKeyPath);
    theirs.WriteString("Theirs", "kept");
    theirs.Close();
  }
  mine.WriteString("Mine", "written");
  mine.Close();
  RegistryKey check(second, kCurrentKeyPath);
  EXPECT_EQ(check.ReadString("Theirs"), "kept");
  EXPECT_EQ(check.ReadString("Mine"), "written");
}

TEST(HiveFile, AUtf16ExportIsReadAndWrittenBackAsUtf8) {
  TempDir dir;
  HiveFile hive(dir / "registry.reg");
  const std::string exported =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex]\r\n"
      "\"Monitored IP\"=\"127.0.0.1\"\r\n"
      "\"Community\"=\"Gemeinschaft \xC3\xBC\"\r\n"
      "\"OIDtextX1\"=\"1\"\r\n\"OIDtextY1\"=\"1\"\r\n\"OIDcolor1\"=\"clRed\"\r\n"
      "\"OIDfull1\"=dword:00000001\r\n"
      "\"OIDtextX2\"=\"1\"\r\n\"OIDtextY2\"=\"1\"\r\n\"OIDcolor2\"=\"clRed\"\r\n"
      "\"OIDfull2\"=dword:00000001\r\n"
      "\"GraphTX\"=\"0\"\r\n\"GraphTY\"=\"12\"\r\n\"GraphBX\"=\"400\"\r\n\"GraphBY\"=\"147\"\r\n"
      "\"ShowText1\"=dword:00000001\r\n\"Total TextX1\"=\"0\"\r\n\"Total TextY1\"=\"0\"\r\n"
      "\"ShowText2\"=dword:00000001\r\n\"Total TextX2\"=\"0\"\r\n\"Total TextY2\"=\"0\"\r\n"
      "\"ShowText3\"=dword:00000001\r\n\"Total TextX3\"=\"0\"\r\n\"Total TextY3\"=\"0\"\r\n"
      "\"ShowText4\"=dword:00000001\r\n\"Total TextX4\"=\"0\"\r\n\"Total TextY4\"=\"0\"\r\n"
      "\"Horizontal Ticks\"=dword:00000001\r\n\"Vertical Ticks\"=dword:00000001\r\n"
      "\"Text size\"=dword:00000007\r\n\"Save To Gif\"=dword:00000000\r\n"
      "\"Total up down\"=dword:00000001\r\n"
      "\"Total Text X\"=\"100\"\r\n\"Total Text Y\"=\"0\"\r\n"
      "\"WindowsTop\"=dword:00000010\r\n\"WindowsLeft\"=dword:00000020\r\n";
  WriteFile(hive.path(), "\xFF\xFE" + Utf8ToUtf16Le(exported));

  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore(hive, s, controls).LoadSettings();
  EXPECT_EQ(s.Ip, "127.0.0.1");
  EXPECT_EQ(s.Community, "Gemeinschaft \xC3\xBC");
  EXPECT_EQ(s.WindowLeft, 0x20);

  const std::string written = ReadFile(hive.path());
  ASSERT_TRUE(written.starts_with("Windows Registry Editor Version 5.00\n"));
  EXPECT_NE(written.find("\"Community\"=\"Gemeinschaft \xC3\xBC\""), std::string::npos);
  const auto before = ReadHiveText("\xFF\xFE" + Utf8ToUtf16Le(exported));
  const auto after = ReadHiveText(written);
  ASSERT_TRUE(after.ok());
  const std::string old_key = "HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex";
  EXPECT_EQ(*after->FindKey(old_key), *before->FindKey(old_key)) << "the old key is unchanged";
  EXPECT_NE(after->FindKey(kCurrentKey), nullptr);
}

std::vector<std::string> SetAsideFiles(const TempDir& dir) {
  std::vector<std::string> aside;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("registry.reg.bad-")) aside.push_back(entry.path().string());
  }
  std::sort(aside.begin(), aside.end());
  return aside;
}

TEST(HiveFile, AFileThatCannotBeParsedIsReportedAndSetAsideNeverOverwritten) {
  struct Case {
    std::string bytes;
    std::string problem;
  };
  const std::string header = "Windows Registry Editor Version 5.00\n\n";
  const std::vector<Case> cases = {
      {header + "[HKEY_CURRENT_USER\\K]\n\"a\"=dword:1\nnonsense\n", "line 5: unrecognised line"},
      {header + "[HKEY_CURRENT_USER\\K]\n\"x", "line 4: malformed value line"},
      {header + "[HKEY_CURRENT_USER\\K]\n\"v\"=hex:01,\\\n", "line 4: malformed value line"},
      {std::string("\x7F"
                   "ELF\x02\x01\x01\0\0\0",
                   10),
       "line 1: not a registry file (no header line)"},
      {"\n\n", "an empty file (no header line)"},
  };
  std::vector<std::string> kept;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.problem);
    TempDir dir;
    HiveFile hive(dir / "registry.reg");
    WriteFile(hive.path(), c.bytes);
    TPlovexSettings s;
    HeadlessControls controls(s);
    SettingsStore store(hive, s, controls);
    const std::string message = MessageOf([&] { store.LoadSettings(); });
    const std::vector<std::string> aside = SetAsideFiles(dir);
    ASSERT_EQ(aside.size(), 1u) << message;
    EXPECT_EQ(message, "The settings file '" + hive.path() + "' cannot be read (" + c.problem +
                           "); it was kept as '" + aside[0] + "'.");
    EXPECT_EQ(ReadFile(aside[0]), c.bytes) << "kept as it was";
    EXPECT_FALSE(fs::exists(hive.path()));
    EXPECT_EQ(s.Ip, "192.168.1.1") << "the defaults, once the user has been told";
    EXPECT_EQ(s.Refresh, 1);
    store.SaveSettingsAtClose();
    EXPECT_FALSE(fs::exists(hive.path())) << "the defaults are not saved unasked";
    store.SettingsApplied();
    store.SaveSettingsAtClose();
    EXPECT_TRUE(ReadHiveText(ReadFile(hive.path())).ok());
    EXPECT_EQ(SetAsideFiles(dir).size(), 1u);
  }
}

TEST(HiveFile, SettingAsideNeverReplacesAnEarlierFile) {
  TempDir dir;
  HiveFile hive(dir / "registry.reg");
  for (int round = 0; round < 3; ++round) {
    WriteFile(hive.path(), "junk " + std::to_string(round));
    EXPECT_NE(MessageOf([&] { hive.KeyExists(kCurrentKeyPath); }), "(no error)");
  }
  std::vector<std::string> contents;
  for (const std::string& path : SetAsideFiles(dir)) contents.push_back(ReadFile(path));
  std::sort(contents.begin(), contents.end());
  EXPECT_EQ(contents, (std::vector<std::string>{"junk 0", "junk 1", "junk 2"}));
}

TEST(HiveFile, ADirectoryInPlaceOfTheFileIsReportedAtLoadAndAtSave) {
  TempDir dir;
  HiveFile hive(dir / "registry.reg");
  fs::create_directory(hive.path());  // read() fails with EISDIR, even for root
  const std::string message = "The settings file '" + hive.path() +
                              "' is a directory: settings can be neither loaded nor saved";
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  EXPECT_EQ(MessageOf([&] { store.LoadSettings(); }), message);
  EXPECT_EQ(s.Refresh, 1);
  store.SettingsApplied();
  EXPECT_EQ(MessageOf([&] { store.SaveSettingsAtClose(); }), message);
  EXPECT_EQ(MessageOf([&] { store.SaveTotals(); }), message);
  EXPECT_TRUE(fs::is_directory(hive.path()));
  EXPECT_TRUE(fs::is_empty(hive.path()));
}

TEST(HiveFile, AHiveThatIsASymbolicLinkHasItsTargetReplaced) {
  TempDir dir;
  fs::create_directory(dir / "dotfiles");
  HiveFile hive(dir / "registry.reg");
  FirstStartAndClose(hive);
  fs::rename(hive.path(), dir / "dotfiles/plovex.reg");
  fs::create_symlink("dotfiles/plovex.reg", hive.path());
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  s.Community = "through the link";
  store.SaveSettings();
  EXPECT_TRUE(fs::is_symlink(hive.path())) << "the link stays";
  EXPECT_NE(ReadFile(dir / "dotfiles/plovex.reg").find("\"Community\"=\"through the link\""),
            std::string::npos);
  EXPECT_TRUE(NoTemporaryFileBeside(dir / "dotfiles/plovex.reg"));
}

TEST(HiveFile, AFileChangedBehindItsBackIsReadAgain) {
  TempDir dir;
  HiveFile hive(dir / "registry.reg");
  FirstStartAndClose(hive);
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  // Another program rewrites the file in place, keeping its size.
  std::string text = ReadFile(hive.path());
  const auto at = text.find("\"tamrel\"");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 8, "\"xamrel\"");
  {
    std::fstream f(hive.path(), std::ios::in | std::ios::out | std::ios::binary);
    f << text;
  }
  s.Oid1.Total = 5;
  store.SaveTotals();
  const std::string after = ReadFile(hive.path());
  EXPECT_NE(after.find("\"Community\"=\"xamrel\""), std::string::npos) << "their change is kept";
  EXPECT_NE(after.find("\"OID1Last\"=\"5\""), std::string::npos);
  TPlovexSettings again;
  HeadlessControls c2(again);
  SettingsStore(hive, again, c2).LoadSettings();
  EXPECT_EQ(again.Community, "xamrel");
}

TEST(HiveFile, ADirectoryThatCannotBeCreatedFailsTheSave) {
  TempDir dir;
  WriteFile(dir / "config", "a regular file where the directory should be");
  HiveFile hive(dir / "config/Kestrune/registry.reg");
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  EXPECT_EQ(s.Refresh, 1);
  EXPECT_EQ(MessageOf([&] { store.SaveSettings(); }), "Failed to set data for 'VersionNum'");
  EXPECT_EQ(MessageOf([&] { store.SaveTotals(); }), "Failed to set data for 'OID1Last'");
  EXPECT_EQ(ReadFile(dir / "config"), "a regular file where the directory should be");
}

// Runs body in a child process with a mount namespace of its own, so that it
// can mount without touching the machine. Returns what body reports ("" when
// all its checks held), or nullopt when mount namespaces are not available.
std::optional<std::string> InPrivateMounts(const std::function<std::string()>& body) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipe_fds[0]);
    std::string report;
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      report = "\x01";
    } else {
      try {
        report = body();
      } catch (const std::exception& e) {
        report = std::string("uncaught: ") + e.what() + "\n";
      }
    }
    (void)!::write(pipe_fds[1], report.data(), report.size());
    ::_exit(0);
  }
  ::close(pipe_fds[1]);
  std::string report;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status)) return "the child died";
  if (report == "\x01") return std::nullopt;
  return report;
}

// Collects failed checks inside a child process.
struct ChildChecks {
  std::string failures;
  void Expect(bool ok, const std::string& what) {
    if (!ok) failures += what + "\n";
  }
  void ExpectMessage(const std::function<void()>& f, const std::string& message) {
    const std::string got = MessageOf(f);
    Expect(got == message, "expected \"" + message + "\", got \"" + got + "\"");
  }
};

TEST(HiveFile, AReadOnlyDirectoryFailsEveryWriteAndLosesNothing) {
  TempDir dir;
  HiveFile hive(dir / "registry.reg");
  FirstStartAndClose(hive);
  {
    TPlovexSettings s;
    HeadlessControls controls(s);
    s.Oid1.Total = 321;
    SettingsStore(hive, s, controls).SaveTotals();
  }
  const std::string before = ReadFile(hive.path());
  const auto report = InPrivateMounts([&] {
    ChildChecks c;
    if (::mount(dir.path().c_str(), dir.path().c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        ::mount(nullptr, dir.path().c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) !=
            0) {
      return std::string("cannot mount read-only\n");
    }
    TPlovexSettings s;
    HeadlessControls controls(s);
    SettingsStore store(hive, s, controls);
    c.ExpectMessage([&] { store.LoadSettings(); }, "Failed to set data for 'VersionNum'");
    c.Expect(s.Oid1.Total == 321 && s.MaxBytes == 64000, "the load read every value");
    s.Community = "changed";
    c.ExpectMessage([&] { store.SaveSettings(); }, "Failed to set data for 'VersionNum'");
    c.ExpectMessage([&] { store.SaveTotals(); }, "Failed to set data for 'OID1Last'");
    c.Expect(ReadFile(hive.path()) == before, "the hive is unchanged");
    return c.failures;
  });
  if (!report) GTEST_SKIP() << "no mount namespaces here";
  EXPECT_EQ(*report, "");
  EXPECT_EQ(ReadFile(hive.path()), before);
}

TEST(HiveFile, AFullDiskFailsTheSaveAndLeavesTheHiveAsItWas) {
  TempDir dir;
  const std::string mount_point = dir / "small";
  fs::create_directory(mount_point);
  const auto report = InPrivateMounts([&] {
    ChildChecks c;
    if (::mount("tmpfs", mount_point.c_str(), "tmpfs", 0, "size=64k") != 0) {
      return std::string("cannot mount a tmpfs\n");
    }
    HiveFile hive(mount_point + "/registry.reg");
    FirstStartAndClose(hive);
    TPlovexSettings s;
    HeadlessControls controls(s);
    SettingsStore store(hive, s, controls);
    s.Oid1.Total = 99;
    store.SaveTotals();
    const std::string before = ReadFile(hive.path());
    {
      const int fd = ::open((mount_point + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
      const std::string block(4096, 'x');
      while (::write(fd, block.data(), block.size()) > 0) {
      }
      ::close(fd);
    }
    c.ExpectMessage([&] { store.LoadSettings(); }, "Failed to set data for 'VersionNum'");
    c.Expect(s.Oid1.Total == 99, "the totals load");
    s.Community = std::string(100000, 'c');
    c.ExpectMessage([&] { store.SaveSettings(); }, "Failed to set data for 'VersionNum'");
    s.Oid1.Total = 100;
    c.ExpectMessage([&] { store.SaveTotals(); }, "Failed to set data for 'OID1Last'");
    c.Expect(ReadFile(hive.path()) == before, "the hive is unchanged");
    c.Expect(NoTemporaryFileBeside(hive.path()), "no temporary file is left behind");
    return c.failures;
  });
  if (!report) GTEST_SKIP() << "no mount namespaces here";
  EXPECT_EQ(*report, "");
}

TEST(HiveFile, ASaveKilledAtAnyMomentLeavesAWholeHive) {
  TempDir dir;
  HiveFile hive(dir / "registry.reg");
  FirstStartAndClose(hive);
  {
    TPlovexSettings s;
    HeadlessControls controls(s);
    s.Oid1.Total = 1000;
    SettingsStore(hive, s, controls).SaveTotals();
  }
  std::mt19937 random(20261208);
  std::int64_t highest = 1000;
  int progressed = 0;
  for (int round = 0; round < 50; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      TPlovexSettings s;
      HeadlessControls controls(s);
      SettingsStore store(hive, s, controls);
      try {
        store.LoadSettings();
        for (int i = 1;; ++i) {
          s.Oid1.Total += 1;
          s.Community = "round " + std::to_string(i);
          store.SaveTotals();
          store.SaveSettings();
        }
      } catch (...) {
        ::_exit(1);
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child failed on its own in round " << round;

    const auto doc = ReadHiveText(ReadFile(hive.path()));
    ASSERT_TRUE(doc.ok()) << "round " << round << ": " << doc.status().message();
    TPlovexSettings s;
    HeadlessControls controls(s);
    ASSERT_NO_THROW(SettingsStore(hive, s, controls).LoadSettings()) << "round " << round;
    EXPECT_GE(s.Oid1.Total, highest) << "round " << round;
    if (s.Oid1.Total > highest) ++progressed;
    highest = s.Oid1.Total;
  }
  EXPECT_GT(progressed, 10) << "the kills must land while saves are running";
}

TEST(HiveFile, DefaultPathFollowsTheBaseDirectoryRules) {
  const char* saved_xdg = std::getenv("XDG_CONFIG_HOME");
  const char* saved_home = std::getenv("HOME");
  const std::string xdg = saved_xdg ? saved_xdg : "", home = saved_home ? saved_home : "";
  ::setenv("HOME", "/home/someone", 1);
  ::setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
  EXPECT_EQ(DefaultHivePath(), "/xdg/config/Kestrune/registry.reg");
  ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
  EXPECT_EQ(DefaultHivePath(), "/home/someone/.config/Kestrune/registry.reg");
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(DefaultHivePath(), "/home/someone/.config/Kestrune/registry.reg");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultHivePath(), "/home/someone/.config/Kestrune/registry.reg");
  saved_xdg ? ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
  saved_home ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}

}  // namespace
}  // namespace plovex
