#pragma once
// HiveDocument: the whole content of a hive file in memory, keys in file order
// and each key's values in file order. It is what the file reader produces and
// the writer consumes; the file hive and the in-memory hive both keep one.
//
// Names compare without regard to ASCII case, as in the registry. Setting a
// value renames an existing value (and its key) to the spelling given, so the
// file always shows the program's spelling of the names it writes. Keys and
// values the program never touches are kept as they are, in place.
#include <cstdint>
#include <string>
#include <string_view>
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

struct HiveKey {
  std::string path;  // full path from the root, "HKEY_CURRENT_USER\Software\..."
  std::vector<HiveValue> values;

  bool operator==(const HiveKey&) const = default;
};

bool SameRegistryName(std::string_view a, std::string_view b);

class HiveDocument {
 public:
  std::vector<HiveKey>& keys() { return keys_; }
  const std::vector<HiveKey>& keys() const { return keys_; }

  // The key, or null. Parents exist implicitly: KeyExists is true for
  // "HKEY_CURRENT_USER\Software" when only a key below it is listed.
  const HiveKey* FindKey(std::string_view full_path) const;
  bool KeyExists(std::string_view full_path) const;

  // Finds the key, appending it (empty) when absent, renamed to this spelling.
  HiveKey& OpenOrCreateKey(std::string_view full_path);

  // Replaces the value of the same name (keeping its place) or appends it.
  static void SetValue(HiveKey& key, HiveValue value);
  static const HiveValue* FindValue(const HiveKey& key, std::string_view name);

  bool operator==(const HiveDocument&) const = default;

 private:
  std::vector<HiveKey> keys_;
};

}  // namespace plovex
