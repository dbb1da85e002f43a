#pragma once
// RegistryKey: one key of a RegistryHive opened for full access, with the typed
// reads and writes of the registry and their type checks. It is the registry
// accessor of the settings store.
//
// Opening takes a snapshot of the key (creating is allowed: a key that does not
// exist opens empty). Reads see the snapshot and this handle's own writes.
// Writes are collected and committed together, in one atomic CommitKey, when
// the key is closed, so a whole save costs one commit. Nothing is committed
// before Close; a handle destroyed without Close commits nothing.
//
// Failures throw PlovexError with the registry's messages, naming the value:
//  - integer or bool: missing, or stored in more than 4 bytes:
//      "Failed to get data for '%s'"; another type: "Invalid data type for '%s'"
//  - double: missing, or more than 8 bytes: "Failed to get data for '%s'";
//      anything but REG_BINARY of exactly 8 bytes: "Invalid data type for '%s'"
//  - string: missing reads as ""; a type that is not text:
//      "Invalid data type for '%s'"
//  - Close: a batch the hive cannot commit (or a key that never opened) fails
//      with "Failed to set data for '%s'", naming the first value of the batch.
// A hive that fails with a message of its own (HiveFile: a file it cannot
// read or parse) throws that message from the constructor or from Close.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "settings/hive_document.h"
#include "settings/registry_hive.h"

namespace plovex {

class RegistryKey {
 public:
  // Opens the key, creating allowed. is_open() is false when the hive cannot
  // be read; such a handle reads nothing and cannot commit.
  RegistryKey(RegistryHive& hive, std::string key_path);
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool is_open() const { return open_; }

  bool ValueExists(std::string_view name) const;

  std::string ReadString(std::string_view name) const;
  std::int32_t ReadInteger(std::string_view name) const;
  bool ReadBool(std::string_view name) const;
  double ReadDouble(std::string_view name) const;

  void WriteString(std::string_view name, std::string_view text);
  void WriteInteger(std::string_view name, std::int32_t value);
  void WriteBool(std::string_view name, bool value);
  void WriteDouble(std::string_view name, double value);
  // Removes the value, committed with the writes.
  void Remove(std::string_view name);

  // The commit leaves the hive readable by its owner alone (it holds secrets).
  void ForOwnerOnly() { access_ = HiveAccess::kOwnerOnly; }

  // Commits the collected writes (if any) and closes the handle; throws
  // "Failed to set data for '%s'" when they cannot be committed. Later calls
  // do nothing.
  void Close();

  // Closes after another failure: commits what was written, reporting
  // nothing, since the caller is already reporting the first failure.
  void CloseAfterFailure() noexcept;

 private:
  const HiveValue* Find(std::string_view name) const;
  std::uint32_t ReadDword(std::string_view name) const;
  void Write(HiveValue value);
  Status Commit();

  RegistryHive& hive_;
  std::string key_path_;
  bool open_ = false;
  bool closed_ = false;
  HiveAccess access_ = HiveAccess::kAsBefore;
  HiveKey view_;                   // the snapshot with this handle's writes applied
  std::vector<HiveValue> writes_;  // not yet committed, in write order
};

}  // namespace plovex
