#include "core/gif_picture_writer.h"

#include <unistd.h>

#include <cctype>
#include <cstring>

#include "base/posix_file.h"
#include "core/picture_folder.h"
#include "core/tick_cycle.h"
#include "image/gif_file_writer.h"
#include "image/gif_writer.h"

namespace plovex {
namespace {

std::string WorkingDirectory() {
  std::string buffer(4096, '\0');
  if (getcwd(buffer.data(), buffer.size()) == nullptr) return "the working directory";
  return buffer.c_str();
}

// "permission denied": the system's words, as part of a sentence.
std::string Reason(const Status& failure) {
  if (failure.sys_errno() == 0) {
    return failure.code() == StatusCode::kWriteFailed ? "the disk took only part of it"
                                                      : "it cannot be created";
  }
  std::string reason = std::strerror(failure.sys_errno());
  if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(reason[0]));
  return reason;
}

}  // namespace

GifPictureWriter::GifPictureWriter(const TPlovexSettings& settings, std::string default_folder)
    : s_(settings), default_folder_(std::move(default_folder)) {}

GifPictureWriter::~GifPictureWriter() {
  for (const std::string& spare : spares_) RemoveSpare(spare);
}

std::string GifPictureWriter::Folder(bool* is_default) const {
  const bool by_default = s_.GifFolder.empty();
  if (is_default != nullptr) *is_default = by_default;
  return by_default ? default_folder_ : ExpandHome(s_.GifFolder);
}

std::string GifPictureWriter::PathOf(const std::string& name) const {
  std::string folder = Folder();
  if (folder.empty()) folder = WorkingDirectory();
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

Status GifPictureWriter::Save(const Surface& picture, const std::vector<std::string>& names) {
  bool is_default = false;
  const std::string folder = Folder(&is_default);
  const auto failed = [&](const std::string& name, const Status& failure) {
    const std::string message = name + " cannot be written in " +
                                (folder.empty() ? WorkingDirectory() : folder) + ": " +
                                Reason(failure);
    return failure.code() == StatusCode::kWriteFailed
               ? Status::WriteFailed(message, failure.sys_errno())
               : Status::CannotCreate(message, failure.sys_errno());
  };
  if (is_default) {
    if (const Status created = CreateFolder(folder); !created.ok()) {
      return failed(names.empty() ? "" : names.front(), created);
    }
  }
  const GifBytes bytes = EncodePictureGif(picture);
  for (const std::string& name : names) {
    const std::string dir = folder.empty() ? "" : folder.back() == '/' ? folder : folder + "/";
    const std::string path = dir + name;
    Status written;
    if (name == kPictureFileName) {
      const std::string spare = dir + "." + name + "." + std::to_string(getpid()) + ".spare";
      spares_.insert(spare);
      written = WriteFileThroughSpare(bytes, path, spare);
    } else {
      written = WriteFilesReplacing(bytes, {path});
    }
    if (!written.ok()) {
      return failed(name, written);
    }
  }
  return Status();
}

}  // namespace plovex
