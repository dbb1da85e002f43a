#pragma once
// Test-only helpers for file writing: a scratch working directory and a
// small file system that runs full, set up in a child process so that the
// mount never touches the test process or the machine.
#include <fcntl.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace plovex::filetest {

// Makes a fresh temporary directory the working directory for its lifetime,
// then restores the old one and removes the directory with its content.
class ScratchWorkingDir {
 public:
  ScratchWorkingDir() : old_(std::filesystem::current_path()) {
    std::string templ = (std::filesystem::temp_directory_path() / "plovex-files-XXXXXX").string();
    path_ = mkdtemp(templ.data());
    std::filesystem::current_path(path_);
  }
  ~ScratchWorkingDir() {
    std::error_code ignored;
    std::filesystem::current_path(old_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchWorkingDir(const ScratchWorkingDir&) = delete;
  ScratchWorkingDir& operator=(const ScratchWorkingDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The names in the directory, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path old_;
  std::filesystem::path path_;
};

// Runs body in a child process whose working directory `dir` is a fresh tmpfs
// of `kib` KiB in a private mount namespace. Returns body's result (empty for
// success, else what went wrong) or why the file system could not be set up.
inline std::string InSmallFileSystem(const std::filesystem::path& dir, int kib,
                                     const std::function<std::string()>& body) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_fds[0]);
    std::string result;
    const std::string options = "size=" + std::to_string(kib) + "k";
    if (unshare(CLONE_NEWNS) != 0) {
      result = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
    } else if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      result = std::string("making mounts private: ") + std::strerror(errno);
    } else if (mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      result = std::string("mounting tmpfs: ") + std::strerror(errno);
    } else if (chdir(dir.c_str()) != 0) {
      result = "chdir failed";
    } else {
      result = body();
    }
    const ssize_t ignored = write(pipe_fds[1], result.data(), result.size());
    (void)ignored;
    _exit(0);
  }
  close(pipe_fds[1]);
  std::string result;
  char buffer[512];
  ssize_t n;
  while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0) result.append(buffer, n);
  close(pipe_fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) result += " (child ended abnormally)";
  return result;
}

}  // namespace plovex::filetest
