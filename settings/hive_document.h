#pragma once
// HiveDocument: the whole content of a hive file in memory, keys in file order
// and each key's values in file order. It is what the file reader produces and
// the writer consumes; the file hive and the in-memory hive both keep one.
//
// Names compare without regard to ASCII case, as in the registry. Setting a
// value renames an existing value (and its key) to the spelling given, so the
// file always shows the program's spelling of the names it writes. Keys and
// values the program never touches are kept as they are, in place.
//
// Both levels are indexed by their case-folded names, so finding or setting a
// key or a value costs the same in a registry export of 40,000 keys as in the
// program's own small hive, and reading a file is linear in its size.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace plovex {

struct HiveValue {
  std::string name;  // "" is the key's default value ("@" in the file)
  std::uint32_t type = 0;
  // The value's bytes. REG_SZ holds the 8-bit text without its terminating
  // zero; every other type holds the bytes exactly as stored.
  std::string data;

  bool operator==(const HiveValue&) const = default;
};

bool SameRegistryName(std::string_view a, std::string_view b);
// The name with ASCII letters in lower case: equal for names that are the same.
std::string FoldedRegistryName(std::string_view name);

class HiveKey {
 public:
  HiveKey() = default;
  explicit HiveKey(std::string path) : path_(std::move(path)) {}

  // Full path from the root, "HKEY_CURRENT_USER\Software\...".
  const std::string& path() const { return path_; }
  const std::vector<HiveValue>& values() const { return values_; }

  const HiveValue* Find(std::string_view name) const;
  // Replaces the value of the same name (keeping its place) or appends it.
  void Set(HiveValue value);
  // Removes the value of that name, if any; the others keep their order.
  void Erase(std::string_view name);
  // Set, or Erase for a write of type hive_format::kRemoved.
  void Apply(HiveValue value);

  // Same path spelling, same values in the same order.
  bool operator==(const HiveKey& other) const {
    return path_ == other.path_ && values_ == other.values_;
  }

 private:
  friend class HiveDocument;
  void Reindex();

  std::string path_;
  std::vector<HiveValue> values_;
  std::unordered_map<std::string, std::size_t> index_;  // folded name -> place
};

class HiveDocument {
 public:
  HiveDocument() = default;
  // Keys may be edited in place (their values); keys are added only through
  // OpenOrCreateKey, so the index stays whole.
  std::span<HiveKey> keys() { return keys_; }
  std::span<const HiveKey> keys() const { return keys_; }

  // The key, or null. Parents exist implicitly: KeyExists is true for
  // "HKEY_CURRENT_USER\Software" when only a key below it is listed.
  const HiveKey* FindKey(std::string_view full_path) const;
  bool KeyExists(std::string_view full_path) const;

  // Finds the key, appending it (empty) when absent, renamed to this spelling.
  // The reference stays valid until the next key is added.
  HiveKey& OpenOrCreateKey(std::string_view full_path);

  bool operator==(const HiveDocument& other) const { return keys_ == other.keys_; }

 private:
  std::vector<HiveKey> keys_;
  std::unordered_map<std::string, std::size_t> index_;  // folded path -> place
  std::unordered_set<std::string> parents_;             // folded paths above a listed key
};

}  // namespace plovex
