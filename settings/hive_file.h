#pragma once
// HiveFile: the current user's registry keys kept in one hive file in the
// registry editor's text format (see hive_format.h), normally
// ${XDG_CONFIG_HOME:-$HOME/.config}/Kestrune/registry.reg.
//
// Reading: a missing file (or missing directory) is an empty hive. A file that
// exists but cannot be read (permissions, a directory in its place, an I/O
// error) makes every key unopenable and KeyExists false. A file that cannot be
// parsed reads as an empty hive, so the program starts from its defaults.
//
// Committing a key, under an exclusive flock on "<file>.lock" beside it:
//  1. create the directory if needed; re-read the file, so that values other
//     programs (or another Plovex) committed meanwhile are kept;
//  2. a file that cannot be parsed is first renamed to
//     "<file>.bad-YYYYMMDD-HHMMSS" (never replacing an earlier one) and a new
//     hive is started: a broken file is set aside, never overwritten;
//  3. write the whole new text to "<file>.tmp", fsync it, rename it over the
//     file, fsync the directory.
// A failure at any step leaves the file as it was and commits nothing. A crash
// or kill at any moment leaves either the old or the new file, never a torn one.
// New files are created with mode 0600 (the hive holds the community string);
// a replaced file keeps its mode.
#include <string>

#include "settings/registry_hive.h"

namespace plovex {

class HiveFile : public RegistryHive {
 public:
  explicit HiveFile(std::string path) : path_(std::move(path)) {}
  HiveFile(const HiveFile&) = delete;
  HiveFile& operator=(const HiveFile&) = delete;

  const std::string& path() const { return path_; }

  bool KeyExists(std::string_view key_path) override;
  std::optional<std::vector<HiveValue>> ReadKey(std::string_view key_path) override;
  bool CommitKey(std::string_view key_path, const std::vector<HiveValue>& writes) override;

 private:
  std::string path_;
};

// ${XDG_CONFIG_HOME:-$HOME/.config}/Kestrune/registry.reg; a relative
// XDG_CONFIG_HOME is ignored, as the base directory rules say.
std::string DefaultHivePath();

}  // namespace plovex
