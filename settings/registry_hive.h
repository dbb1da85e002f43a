#pragma once
// RegistryHive: the store behind the current user's registry keys, as the
// settings store needs it. Keys are named from the root of the current user's
// hive ("\Software\Kestrune\Plovex_1"); names match without regard to ASCII
// case. HiveFile keeps the hive in a file; MemoryHive is the test double.
//
// Reads are snapshots: ReadKey hands back a key's values as they are now.
// Writes reach the store only through CommitKey, which sets a batch of values
// in one key (creating it) all at once or not at all; every other key and value
// in the store stays as it was. RegistryKey builds the typed accessor of an
// open key on these three operations.
//
// A store may also fail any operation with a PlovexError of its own that says
// what is wrong with it (HiveFile: a file it cannot read or parse).
#include <string_view>
#include <vector>

#include "base/status.h"
#include "settings/hive_document.h"

namespace plovex {

// Who may read and write the store after a commit: as before, or its owner
// alone (the store holds secrets: version 3 master keys).
enum class HiveAccess { kAsBefore, kOwnerOnly };

class RegistryHive {
 public:
  virtual ~RegistryHive() = default;

  // Whether the key exists; false also when the store cannot be read.
  virtual bool KeyExists(std::string_view key_path) = 0;

  // The key's values (none when the key does not exist yet); a failure when
  // the store cannot be read, so that a key cannot be opened.
  virtual Result<std::vector<HiveValue>> ReadKey(std::string_view key_path) = 0;

  // Sets each value of `writes` in the key, in order, creating the key when
  // absent. Ok when the whole batch is durably stored; a failure (with the
  // reason) when nothing of it is. With kOwnerOnly the stored batch is never
  // readable by others, not even for a moment.
  virtual Status CommitKey(std::string_view key_path, const std::vector<HiveValue>& writes,
                           HiveAccess access) = 0;

  // Whether users other than the store's owner may read or change it now;
  // false when it does not exist yet.
  virtual bool OpenToOthers() = 0;
};

}  // namespace plovex
