#include "core/picture_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace plovex {
namespace {

std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return "";
  return value;
}

}  // namespace

std::string DesktopPictureFolder() {
  std::string base = AbsoluteEnv("XDG_STATE_HOME");
  if (base.empty()) {
    const std::string home = AbsoluteEnv("HOME");
    if (home.empty()) return "";
    base = home + "/.local/state";
  }
  return base + "/plovex";
}

std::string ExpandHome(const std::string& folder) {
  if (folder != "~" && !folder.starts_with("~/")) return folder;
  const std::string home = AbsoluteEnv("HOME");
  if (home.empty()) return folder;
  return home + folder.substr(1);
}

Status CreateFolder(const std::string& folder) {
  struct stat st {};
  if (folder.empty() || (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) return Status();
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return Status::CannotCreate(part + ": " + std::strerror(errno), errno);
    }
    if (slash == std::string::npos) break;
  }
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    return Status::CannotCreate(folder + ": not a folder", ENOTDIR);
  }
  return Status();
}

}  // namespace plovex
