#include "settings/hive_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/posix_file.h"
#include "core/plovex_error.h"
#include "settings/hive_format.h"
#include "settings/hive_text_reader.h"
#include "settings/hive_text_writer.h"

namespace plovex {
namespace {

enum class FileState { kRead, kMissing, kUnreadable };

// On kUnreadable, error holds the errno of the failure.
FileState ReadWholeFile(const std::string& path, std::string& out, int& error) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) {
    error = errno;
    return error == ENOENT || error == ENOTDIR ? FileState::kMissing : FileState::kUnreadable;
  }
  out.clear();
  char buffer[16384];
  while (true) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) return FileState::kRead;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return FileState::kUnreadable;
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

bool MakeDirectories(const std::string& dir) {
  struct stat st;
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  if (errno != ENOENT) return false;
  const std::string parent = DirectoryOf(dir);
  if (parent != dir && !MakeDirectories(parent)) return false;
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

// Renames an unparseable hive aside under a name no earlier one holds.
bool SetAside(const std::string& path, std::string& aside) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  for (int attempt = 0; attempt < 100; ++attempt) {
    aside = path + ".bad-" + stamp;
    if (attempt > 0) aside += "-" + std::to_string(attempt);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// The hive holds the community string: a new one is for its owner alone, a
// replaced one keeps the mode its owner gave it; every commit is flushed to
// the disk, so that a settings change survives a power cut. Commits hold the
// hive's lock, so one temporary name serves them all.
constexpr ReplaceOptions kHiveFile{0600, true, true, ".tmp"};
// Secrets: the new file is its owner's alone from the moment it exists.
constexpr ReplaceOptions kOwnersHiveFile{0600, false, true, ".tmp"};

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

[[noreturn]] void FailUnreadable(const std::string& path, int error) {
  if (error == EISDIR) {
    throw PlovexError("The settings file " + Quoted(path) +
                      " is a directory: settings can be neither loaded nor saved");
  }
  throw PlovexError("The settings file " + Quoted(path) +
                    " cannot be read: " + std::strerror(error));
}

}  // namespace

// An exclusive flock on "<file>.lock", held while the object lives.
class HiveFile::Lock {
 public:
  explicit Lock(const std::string& hive_path) : fd_(-1) {
    const std::string lock_path = hive_path + ".lock";
    int fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) fd = ::open(lock_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    while (::flock(fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd);
        return;
      }
    }
    fd_ = fd;
  }
  ~Lock() {
    if (fd_ >= 0) ::close(fd_);  // the lock goes with its descriptor
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

HiveDocument& HiveFile::Current(const Lock* held) {
  std::string bytes;
  int error = 0;
  const FileState state = ReadWholeFile(path_, bytes, error);
  if (state == FileState::kUnreadable) FailUnreadable(path_, error);
  const bool present = state == FileState::kRead;
  if (cached_ && cached_present_ == present && cached_bytes_ == bytes) return cached_doc_;

  cached_ = false;
  HiveDocument doc;
  if (present) {
    std::string error;
    std::optional<HiveDocument> parsed = ReadHiveText(bytes, &error);
    if (!parsed) {
      if (held == nullptr) {
        // Set aside only what is still there under the lock: another writer
        // may have replaced it with a good file meanwhile.
        Lock lock(path_);
        if (lock.held()) return Current(&lock);
      }
      SetAsideUnparseable(error);
    }
    doc = std::move(*parsed);
  }
  cached_doc_ = std::move(doc);
  cached_bytes_ = std::move(bytes);
  cached_present_ = present;
  cached_ = true;
  return cached_doc_;
}

void HiveFile::SetAsideUnparseable(const std::string& error) {
  const std::string what = "The settings file " + Quoted(path_) + " cannot be read (" + error + ")";
  std::string aside;
  if (!SetAside(path_, aside)) {
    throw PlovexError(what + "; it could not be set aside (" + std::strerror(errno) +
                      ") and is left as it is.");
  }
  throw PlovexError(what + "; it was kept as " + Quoted(aside) + ".");
}

bool HiveFile::KeyExists(std::string_view key_path) {
  return Current(nullptr).KeyExists(hive_format::CurrentUserPath(key_path));
}

std::optional<std::vector<HiveValue>> HiveFile::ReadKey(std::string_view key_path) {
  const HiveKey* key = Current(nullptr).FindKey(hive_format::CurrentUserPath(key_path));
  if (key == nullptr) return std::vector<HiveValue>{};
  return key->values();
}

bool HiveFile::OpenToOthers() {
  struct stat st;
  return ::stat(path_.c_str(), &st) == 0 && (st.st_mode & 077) != 0;
}

bool HiveFile::CommitKey(std::string_view key_path, const std::vector<HiveValue>& writes,
                         HiveAccess access) {
  const std::string dir = DirectoryOf(path_);
  if (!MakeDirectories(dir)) return false;
  Lock lock(path_);
  if (!lock.held()) return false;

  // Re-read under the lock, so that values other programs (or another
  // Plovex) committed meanwhile are kept; unchanged bytes are not parsed again.
  HiveDocument& doc = Current(&lock);
  HiveKey& key = doc.OpenOrCreateKey(hive_format::CurrentUserPath(key_path));
  for (const HiveValue& value : writes) key.Apply(value);
  std::string text = WriteHiveText(doc);
  if (!ReplaceFileAtomically(path_, text,
                             access == HiveAccess::kOwnerOnly ? kOwnersHiveFile : kHiveFile)
           .ok()) {
    cached_ = false;  // the copy in memory holds writes the file does not
    return false;
  }
  cached_bytes_ = std::move(text);
  cached_present_ = true;
  return true;
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
