#include "image/gif_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace plovex {
namespace {

std::string CannotCreate(const std::string& name) { return "Cannot create file " + name; }
const char kStreamWriteError[] = "Stream write error";

// The path to replace: the name itself, or the target of a symbolic link.
std::string ReplacedPath(const std::string& name) {
  struct stat st;
  if (lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(name.c_str(), resolved) != nullptr) return resolved;
  }
  return name;
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

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::string> ReplaceOne(const std::vector<std::uint8_t>& bytes,
                                      const std::string& name) {
  if (name.empty() || name.back() == '/') return CannotCreate(name);
  const std::string path = ReplacedPath(name);
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
    temporary = TemporaryPath(path);
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return CannotCreate(name);

  const bool written = WriteAll(fd, bytes.data(), bytes.size());
  // close() can report a deferred write failure (a full disk on some file
  // systems), so it counts as part of the write.
  const bool closed = close(fd) == 0;
  if (!written || !closed) {
    unlink(temporary.c_str());
    return kStreamWriteError;
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return CannotCreate(name);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> WriteFilesReplacing(const std::vector<std::uint8_t>& bytes,
                                               const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (std::optional<std::string> failure = ReplaceOne(bytes, name)) return failure;
  }
  return std::nullopt;
}

}  // namespace plovex
