#include "settings/hive_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "settings/hive_format.h"
#include "settings/hive_text_reader.h"
#include "settings/hive_text_writer.h"

namespace plovex {
namespace {

enum class FileState { kRead, kMissing, kUnreadable };

// Closes a descriptor on every path out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now, reporting the error a deferred write may only show here.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

FileState ReadWholeFile(const std::string& path, std::string& out) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) {
    return errno == ENOENT || errno == ENOTDIR ? FileState::kMissing : FileState::kUnreadable;
  }
  out.clear();
  char buffer[16384];
  while (true) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) return FileState::kRead;
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileState::kUnreadable;
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

struct Loaded {
  FileState state = FileState::kMissing;
  bool parsed = true;
  HiveDocument doc;
};

Loaded Load(const std::string& path) {
  Loaded loaded;
  std::string bytes;
  loaded.state = ReadWholeFile(path, bytes);
  if (loaded.state == FileState::kRead) {
    auto doc = ReadHiveText(bytes);
    loaded.parsed = doc.has_value();
    if (doc) loaded.doc = std::move(*doc);
  }
  return loaded;
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool MakeDirectories(const std::string& dir) {
  struct stat st;
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  if (errno != ENOENT) return false;
  const std::string parent = DirectoryOf(dir);
  if (parent != dir && !MakeDirectories(parent)) return false;
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool SyncDirectory(const std::string& dir) {
  Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.valid() && ::fsync(fd.get()) == 0;
}

// Renames an unparseable hive aside under a name no earlier one holds.
bool SetAside(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string aside = path + ".bad-" + stamp;
    if (attempt > 0) aside += "-" + std::to_string(attempt);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// Writes text over path atomically: temporary file, fsync, rename, fsync of
// the directory. On failure the file at path is untouched.
bool ReplaceFile(const std::string& path, const std::string& text) {
  const std::string tmp = path + ".tmp";
  mode_t mode = 0600;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  {
    Fd fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!fd.valid()) return false;
    const bool written = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), text) &&
                         ::fsync(fd.get()) == 0 && fd.Close();
    if (!written) {
      ::unlink(tmp.c_str());
      return false;
    }
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return SyncDirectory(DirectoryOf(path));
}

}  // namespace

bool HiveFile::KeyExists(std::string_view key_path) {
  const Loaded loaded = Load(path_);
  return loaded.state != FileState::kUnreadable &&
         loaded.doc.KeyExists(hive_format::CurrentUserPath(key_path));
}

std::optional<std::vector<HiveValue>> HiveFile::ReadKey(std::string_view key_path) {
  const Loaded loaded = Load(path_);
  if (loaded.state == FileState::kUnreadable) return std::nullopt;
  const HiveKey* key = loaded.doc.FindKey(hive_format::CurrentUserPath(key_path));
  if (key == nullptr) return std::vector<HiveValue>{};
  return key->values();
}

bool HiveFile::CommitKey(std::string_view key_path, const std::vector<HiveValue>& writes) {
  const std::string dir = DirectoryOf(path_);
  if (!MakeDirectories(dir)) return false;

  const std::string lock_path = path_ + ".lock";
  int lock_fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd < 0) lock_fd = ::open(lock_path.c_str(), O_RDONLY | O_CLOEXEC);
  Fd lock(lock_fd);
  if (!lock.valid()) return false;
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }

  Loaded loaded = Load(path_);
  if (loaded.state == FileState::kUnreadable) return false;
  if (!loaded.parsed && !SetAside(path_)) return false;

  HiveKey& key = loaded.doc.OpenOrCreateKey(hive_format::CurrentUserPath(key_path));
  for (const HiveValue& value : writes) key.Set(value);
  return ReplaceFile(path_, WriteHiveText(loaded.doc));
  // The lock goes with its descriptor.
}

std::string DefaultHivePath() {
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
      base = home;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir) {
      base = pw->pw_dir;
    }
    base += "/.config";
  }
  return base + "/Kestrune/registry.reg";
}

}  // namespace plovex
