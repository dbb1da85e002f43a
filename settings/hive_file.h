#pragma once
// HiveFile: the current user's registry keys kept in one hive file in the
// registry editor's text format (see hive_format.h), normally
// ${XDG_CONFIG_HOME:-$HOME/.config}/Kestrune/registry.reg.
//
// Reading: a missing file (or missing directory) is an empty hive. A file that
// exists but cannot be read (permissions, a directory in its place, an I/O
// error) fails every operation with a PlovexError naming the file and the
// reason. A file that cannot be parsed is renamed to
// "<file>.bad-YYYYMMDD-HHMMSS" (never replacing an earlier one; under the
// lock, so a good file another writer put there meanwhile is kept) and the
// operation fails with a PlovexError naming the file, the line, what is wrong
// there and where the file was kept; the next operation finds no file, so the
// program starts from its defaults. Nothing is ever deleted.
//
// The last file read is kept parsed in memory: an operation reads the file's
// bytes and parses them only when they differ from the ones it has, so a
// load, a save or a totals update parses the file at most once, whatever
// size the file has.
//
// Committing a key, under an exclusive flock on "<file>.lock" beside it:
//  1. create the directory if needed; re-read the file, so that values other
//     programs (or another Plovex) committed meanwhile are kept;
//  2. write the whole new text to "<file>.tmp", fsync it, rename it over the
//     file, fsync the directory. A hive that is a symbolic link has its
//     target replaced; the link stays.
// A failure at any step leaves the file as it was and commits nothing. A crash
// or kill at any moment leaves either the old or the new file, never a torn one.
// New files are created with mode 0600 (the hive holds the community string);
// a replaced file keeps its mode, except that a commit for its owner alone
// (HiveAccess::kOwnerOnly) leaves it 0600 whatever it was.
#include <string>

#include "settings/hive_document.h"

#include "settings/registry_hive.h"

namespace plovex {

class HiveFile : public RegistryHive {
 public:
  explicit HiveFile(std::string path) : path_(std::move(path)) {}
  HiveFile(const HiveFile&) = delete;
  HiveFile& operator=(const HiveFile&) = delete;

  const std::string& path() const { return path_; }

  bool KeyExists(std::string_view key_path) override;
  Result<std::vector<HiveValue>> ReadKey(std::string_view key_path) override;
  Status CommitKey(std::string_view key_path, const std::vector<HiveValue>& writes,
                   HiveAccess access) override;
  bool OpenToOthers() override;

 private:
  class Lock;
  // The file's content now; throws as described above. `held` is the lock
  // when the caller has it.
  HiveDocument& Current(const Lock* held);
  [[noreturn]] void SetAsideUnparseable(const std::string& error);

  std::string path_;
  bool cached_ = false;
  bool cached_present_ = false;  // the file existed
  std::string cached_bytes_;
  HiveDocument cached_doc_;
};

// ${XDG_CONFIG_HOME:-$HOME/.config}/Kestrune/registry.reg; a relative
// XDG_CONFIG_HOME is ignored, as the base directory rules say.
std::string DefaultHivePath();

}  // namespace plovex
