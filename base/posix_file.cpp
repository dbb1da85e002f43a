#include "base/posix_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace plovex {
namespace {

Status Failure(Status (*make)(std::string, int), const std::string& path) {
  const int error = errno;
  return make(path + ": " + std::strerror(error), error);
}

// A name beside `path` that no other writer uses: dot-prefixed, so listings
// and web servers pass over it, with the process id and a counter.
std::string TemporaryPath(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  return dir + "." + base + "." + std::to_string(getpid()) + "." + std::to_string(++counter) +
         ".tmp";
}

Status SyncDirectory(const std::string& dir) {
  UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid() || ::fsync(fd.get()) != 0) return Failure(&Status::IoError, dir);
  return Status::Ok();
}

// Swaps `temporary` with the regular file at `path` and deletes the old one,
// now at `temporary`; false, with nothing changed, where there is no regular
// file to swap with (a directory must not be moved aside) or the file system
// cannot exchange (EINVAL: NFS, FUSE and others).
bool Exchanged(const std::string& temporary, const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) != 0)
    return false;
  // The new file is in place; an old one that cannot be deleted is only left
  // over, under the dot-name no listing shows.
  ::unlink(temporary.c_str());
  return true;
}

}  // namespace

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

Status UniqueFd::Close() {
  const int fd = fd_;
  fd_ = -1;
  if (fd < 0) return Status::IoError("close: not open", EBADF);
  if (::close(fd) != 0) {
    const int error = errno;
    return Status::IoError(std::string("close: ") + std::strerror(error), error);
  }
  return Status::Ok();
}

Status WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::WriteFailed(std::strerror(errno), errno);
    }
    // A write that stores nothing will store nothing on the next try either.
    if (n == 0) return Status::WriteFailed("no room for the bytes", ENOSPC);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return Status::Ok();
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string LinkTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

namespace {

// The spare open for writing with a write lease, which the system grants only
// while no one else has the file open, and which makes anyone who opens it
// meanwhile wait until it is released. Invalid when `spare` is not a regular
// file of ours, another process has it open, or leases are not to be had.
// `size` is its length as found.
UniqueFd LeasedSpare(const std::string& spare, int extra_flags, off_t& size) {
  UniqueFd fd(
      ::open(spare.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | extra_flags, 0666));
  struct stat st;
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1)
    return UniqueFd();
  size = st.st_size;
  // Whoever breaks the lease (an open in the instant the bytes go in) just
  // waits for its release; SIGURG, ignored by default, keeps the notice from
  // ending the process, as SIGIO's default would.
  if (::fcntl(fd.get(), F_SETSIG, SIGURG) != 0 || ::fcntl(fd.get(), F_SETLEASE, F_WRLCK) != 0)
    return UniqueFd();
  return fd;
}

}  // namespace

Status ReplaceFileThroughSpare(const std::string& path_or_link, std::string_view bytes,
                               const std::string& spare) {
  const std::string path = LinkTarget(path_or_link);
  constexpr ReplaceOptions kFresh{0666, false, false, nullptr, true};
  off_t size = 0;
  UniqueFd fd = LeasedSpare(spare, 0, size);
  if (!fd.valid()) {
    // Someone may be reading it: it is theirs now. Without leases at all,
    // the next try fails too, and the file is replaced the plain way.
    ::unlink(spare.c_str());
    fd = LeasedSpare(spare, O_EXCL, size);
    if (!fd.valid()) {
      ::unlink(spare.c_str());
      return ReplaceFileAtomically(path, bytes, kFresh);
    }
  }
  // Not truncated to nothing first: ext4 then forces the new bytes out to
  // the disk on close, as it does for a rename over a file. Cut to length
  // only when the old content was the longer.
  const auto length = static_cast<off_t>(bytes.size());
  if (!WriteAll(fd.get(), bytes).ok() || (size > length && ::ftruncate(fd.get(), length) != 0)) {
    const Status failure = Failure(&Status::WriteFailed, spare);
    fd = UniqueFd();
    ::unlink(spare.c_str());
    return failure;
  }
  ::fcntl(fd.get(), F_SETLEASE, F_UNLCK);
  if (!fd.Close().ok()) {
    const Status failure = Failure(&Status::WriteFailed, spare);
    ::unlink(spare.c_str());
    return failure;
  }
  struct stat st;
  const bool exchanged =
      ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      ::renameat2(AT_FDCWD, spare.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0;
  if (!exchanged && ::rename(spare.c_str(), path.c_str()) != 0) {
    const Status failure = Failure(&Status::IoError, path);
    ::unlink(spare.c_str());
    return failure;
  }
  return Status::Ok();
}

void RemoveSpare(const std::string& spare) { ::unlink(spare.c_str()); }

Status ReplaceFileAtomically(const std::string& path_or_link, std::string_view bytes,
                             const ReplaceOptions& options) {
  const std::string path = LinkTarget(path_or_link);
  mode_t mode = options.new_file_mode;
  if (options.keep_mode) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  }

  std::string temporary;
  UniqueFd fd;
  if (options.fixed_temporary_suffix != nullptr) {
    temporary = path + options.fixed_temporary_suffix;
    fd = UniqueFd(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, options.new_file_mode));
  }
  for (int attempt = 0; attempt < 8 && !fd.valid() && options.fixed_temporary_suffix == nullptr;
       ++attempt) {
    temporary = TemporaryPath(path);
    fd = UniqueFd(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, options.new_file_mode));
    if (!fd.valid() && errno != EEXIST) break;
  }
  if (!fd.valid()) return Failure(&Status::CannotCreate, temporary);

  const bool written = (!options.keep_mode || ::fchmod(fd.get(), mode) == 0) &&
                       WriteAll(fd.get(), bytes).ok() &&
                       (!options.durable || ::fsync(fd.get()) == 0) && fd.Close().ok();
  if (!written) {
    const Status failure = Failure(&Status::WriteFailed, temporary);
    ::unlink(temporary.c_str());
    return failure;
  }
  if (!(options.exchange && Exchanged(temporary, path)) &&
      ::rename(temporary.c_str(), path.c_str()) != 0) {
    const Status failure = Failure(&Status::IoError, path);
    ::unlink(temporary.c_str());
    return failure;
  }
  return options.durable ? SyncDirectory(DirectoryOf(path)) : Status::Ok();
}

}  // namespace plovex
