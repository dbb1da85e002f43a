#include "image/gif_file_writer.h"

#include <string_view>

#include "base/posix_file.h"

namespace plovex {
namespace {

std::string CannotCreate(const std::string& name) { return "Cannot create file " + name; }
const char kStreamWriteError[] = "Stream write error";

// No fsync: the files are rewritten every few seconds; what matters is that
// nobody ever sees a torn one, not that the newest survives a power cut. Nor
// any forced write at all: Plovex.gif, replaced every second, should live in
// the page cache, not wake the disk of a laptop every second.
constexpr ReplaceOptions kPictureFile{0666, false, false, nullptr, true};

Status ReplaceOne(const std::vector<std::uint8_t>& bytes, const std::string& name,
                  const std::string* spare = nullptr) {
  if (name.empty() || name.back() == '/') return Status::CannotCreate(CannotCreate(name));
  const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const Status replaced = spare != nullptr ? ReplaceFileThroughSpare(name, view, *spare)
                                           : ReplaceFileAtomically(name, view, kPictureFile);
  if (replaced.ok()) return replaced;
  if (replaced.code() == StatusCode::kWriteFailed) {
    return Status::WriteFailed(kStreamWriteError, replaced.sys_errno());
  }
  return Status::CannotCreate(CannotCreate(name), replaced.sys_errno());
}

}  // namespace

Status WriteFilesReplacing(const std::vector<std::uint8_t>& bytes,
                           const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (Status failure = ReplaceOne(bytes, name); !failure.ok()) return failure;
  }
  return Status::Ok();
}

Status WriteFileThroughSpare(const std::vector<std::uint8_t>& bytes, const std::string& name,
                             const std::string& spare) {
  return ReplaceOne(bytes, name, &spare);
}

}  // namespace plovex
