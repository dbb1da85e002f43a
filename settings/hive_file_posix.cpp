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
#include <optional>

#include "base/posix_file.h"
#include "core/plovex_error.h"
#include "settings/hive_format.h"
#include "settings/hive_text_reader.h"
#include "settings/hive_text_writer.h"

namespace plovex {
namespace {

// The file's bytes; nullopt when there is no such file (a hive not yet
// written); a failure (IoError with the errno) when it cannot be read.
Result<std::optional<std::string>> ReadWholeFile(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) {
    if (errno == ENOENT || errno == ENOTDIR) return std::optional<std::string>();
    return Status::IoError("cannot open " + path, errno);
  }
  std::string out;
  char buffer[16384];
  while (true) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) return std::optional<std::string>(std::move(out));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::IoError("cannot read " + path, errno);
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

Status MakeDirectories(const std::string& dir) {
  const auto cannot = [&dir](int error) {
    return Status::CannotCreate("cannot create the directory '" + dir + "'", error);
  };
  struct stat st;
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? Status::Ok() : cannot(ENOTDIR);
  if (errno != ENOENT) return cannot(errno);
  const std::string parent = DirectoryOf(dir);
  if (parent != dir) {
    if (Status made = MakeDirectories(parent); !made.ok()) return made;
  }
  if (::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) return Status::Ok();
  return cannot(errno);
}

// Renames an unparseable hive aside under a name no earlier one holds, and
// says which.
Result<std::string> SetAside(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string aside = path + ".bad-" + stamp;
    if (attempt > 0) aside += "-" + std::to_string(attempt);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
      return aside;
    }
    if (errno != EEXIST) break;
  }
  return Status::IoError(std::strerror(errno), errno);
}

// The hive holds the community string: a new one is for its owner alone, a
// replaced one keeps the mode its owner gave it; every commit is flushed to
// the disk, so that a settings change survives a power cut. Commits hold the
// hive's lock, so one temporary name serves them all.
constexpr ReplaceOptions kHiveFile{0600, true, true, ".tmp"};
// Secrets: the new file is its owner's alone from the moment it exists.
constexpr ReplaceOptions kOwnersHiveFile{0600, false, true, ".tmp"};

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

[[noreturn]] void FailUnreadable(const std::string& path, const Status& failure) {
  const int error = failure.sys_errno();
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
  Result<std::optional<std::string>> read = ReadWholeFile(path_);
  if (!read.ok()) FailUnreadable(path_, read.status());
  const bool present = read->has_value();
  std::string bytes = present ? std::move(**read) : std::string();
  if (cached_ && cached_present_ == present && cached_bytes_ == bytes) return cached_doc_;

  cached_ = false;
  HiveDocument doc;
  if (present) {
    Result<HiveDocument> parsed = ReadHiveText(bytes);
    if (!parsed) {
      if (held == nullptr) {
        // Set aside only what is still there under the lock: another writer
        // may have replaced it with a good file meanwhile.
        Lock lock(path_);
        if (lock.held()) return Current(&lock);
      }
      SetAsideUnparseable(parsed.status().message());
    }
    doc = *std::move(parsed);
  }
  cached_doc_ = std::move(doc);
  cached_bytes_ = std::move(bytes);
  cached_present_ = present;
  cached_ = true;
  return cached_doc_;
}

void HiveFile::SetAsideUnparseable(const std::string& error) {
  const std::string what = "The settings file " + Quoted(path_) + " cannot be read (" + error + ")";
  const Result<std::string> aside = SetAside(path_);
  if (!aside.ok()) {
    throw PlovexError(what + "; it could not be set aside (" + aside.status().message() +
                      ") and is left as it is.");
  }
  throw PlovexError(what + "; it was kept as " + Quoted(*aside) + ".");
}

bool HiveFile::KeyExists(std::string_view key_path) {
  return Current(nullptr).KeyExists(hive_format::CurrentUserPath(key_path));
}

Result<std::vector<HiveValue>> HiveFile::ReadKey(std::string_view key_path) {
  const HiveKey* key = Current(nullptr).FindKey(hive_format::CurrentUserPath(key_path));
  if (key == nullptr) return std::vector<HiveValue>{};
  return key->values();
}

bool HiveFile::OpenToOthers() {
  struct stat st;
  return ::stat(path_.c_str(), &st) == 0 && (st.st_mode & 077) != 0;
}

Status HiveFile::CommitKey(std::string_view key_path, const std::vector<HiveValue>& writes,
                           HiveAccess access) {
  const std::string dir = DirectoryOf(path_);
  if (Status made = MakeDirectories(dir); !made.ok()) return made;
  Lock lock(path_);
  if (!lock.held()) return Status::IoError("cannot lock " + Quoted(path_ + ".lock"), errno);

  // Re-read under the lock, so that values other programs (or another
  // Plovex) committed meanwhile are kept; unchanged bytes are not parsed again.
  HiveDocument& doc = Current(&lock);
  HiveKey& key = doc.OpenOrCreateKey(hive_format::CurrentUserPath(key_path));
  for (const HiveValue& value : writes) key.Apply(value);
  std::string text = WriteHiveText(doc);
  const ReplaceOptions& options = access == HiveAccess::kOwnerOnly ? kOwnersHiveFile : kHiveFile;
  if (Status replaced = ReplaceFileAtomically(path_, text, options); !replaced.ok()) {
    cached_ = false;  // the copy in memory holds writes the file does not
    return replaced;
  }
  cached_bytes_ = std::move(text);
  cached_present_ = true;
  return Status::Ok();
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
