#pragma once
// POSIX file helpers: a descriptor guard, a write that stores every byte or
// says it did not, and the one way Plovex replaces a file atomically.
//
// ReplaceFileAtomically writes the new bytes to a temporary file beside the
// file (by default a fresh, dot-prefixed one that no other writer uses), then
// renames it over the file: a reader that opens the file at any moment gets
// either the whole old content or the whole new one, and a failure at any step
// leaves the file as it was and removes the temporary file. A path that is a
// symbolic link has its target replaced, so the link stays. With `durable`,
// the bytes are flushed to the disk before the rename and the directory after
// it, so that the new content also survives a power cut.
#include <sys/types.h>

#include <string>
#include <string_view>

#include "base/status.h"

namespace plovex {

// Owns a file descriptor and closes it on every path out.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  ~UniqueFd();

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now; kIoError with the errno when close reports an error (a
  // deferred write failure on some file systems shows only here) or nothing
  // was open.
  Status Close();

 private:
  int fd_;
};

// Writes all of `bytes`, retrying after signals. Fails with kWriteFailed (and
// the errno) when the file takes fewer bytes than offered and then none.
Status WriteAll(int fd, std::string_view bytes);

// The directory part of a path: "." for a bare name, "/" for a file at the root.
std::string DirectoryOf(const std::string& path);

// The path itself, or the canonical target when it is a symbolic link.
std::string LinkTarget(const std::string& path);

struct ReplaceOptions {
  mode_t new_file_mode = 0666;  // for a new file, before the umask
  // The replaced file keeps its permission bits; a new file gets exactly
  // new_file_mode, whatever the umask.
  bool keep_mode = false;
  bool durable = false;  // fsync the file before the rename, the directory after
  // Null: a fresh temporary name per call. Otherwise the temporary file is the
  // path with this suffix, truncated if present: for writers that hold a lock
  // on the file, so that at most one temporary file can ever exist.
  const char* fixed_temporary_suffix = nullptr;
  // Puts the new file in place by exchanging it with the old one and then
  // deleting the old one, where the file system can exchange (else a rename,
  // as without it). For files rewritten every second: ext4 forces the data of
  // a file renamed over another out to the disk at once, an exchange does
  // not, so a file replaced again before the next writeback never reaches the
  // disk at all. A reader sees the same whole old or whole new file either way.
  bool exchange = false;
};

// What failed, as the code: kCannotCreate (the temporary file), kWriteFailed
// (the bytes could not all be stored or flushed), kIoError (the rename, or the
// directory's flush after a rename that took place).
Status ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                             const ReplaceOptions& options);

// ReplaceFileAtomically with `exchange` and without `durable`, for the one
// writer of a file replaced every second: the bytes are written over a spare
// file that the writer keeps beside it (`spare`, a hidden name of its own,
// in the same directory), which is then exchanged with the file, so that the
// old content is the next spare. The file system allocates and frees nothing
// from one call to the next. A spare that anyone else still has open (a
// reader of what was the file a moment ago) is never written over: it is
// left to that reader, and a new spare is made. Where the file system cannot
// tell who has it open or cannot exchange, this is ReplaceFileAtomically.
// The caller deletes the spare when done (RemoveSpare). Failures as there.
Status ReplaceFileThroughSpare(const std::string& path, std::string_view bytes,
                               const std::string& spare);
void RemoveSpare(const std::string& spare);

}  // namespace plovex
