#include "settings/testing/memory_hive.h"

#include "settings/hive_format.h"
#include "settings/hive_text_reader.h"

namespace plovex {

std::optional<MemoryHive> MemoryHive::FromText(std::string_view text) {
  Result<HiveDocument> doc = ReadHiveText(text);
  if (!doc) return std::nullopt;
  return MemoryHive(*std::move(doc));
}

bool MemoryHive::KeyExists(std::string_view key_path) {
  return readable_ && doc_.KeyExists(hive_format::CurrentUserPath(key_path));
}

Result<std::vector<HiveValue>> MemoryHive::ReadKey(std::string_view key_path) {
  if (!readable_) return Status::IoError("the hive cannot be read");
  const HiveKey* key = doc_.FindKey(hive_format::CurrentUserPath(key_path));
  if (key == nullptr) return std::vector<HiveValue>{};
  return key->values();
}

Status MemoryHive::CommitKey(std::string_view key_path, const std::vector<HiveValue>& writes,
                             HiveAccess access) {
  if (!writable_) return Status::WriteFailed("the hive refuses writes");
  if (access == HiveAccess::kOwnerOnly) open_to_others = false;
  HiveKey& key = doc_.OpenOrCreateKey(hive_format::CurrentUserPath(key_path));
  for (const HiveValue& value : writes) key.Apply(value);
  ++commits_;
  return Status::Ok();
}

}  // namespace plovex
