#pragma once
// MemoryHive: a RegistryHive held in memory, for tests. It can be seeded from
// hive file text, shows its content as a HiveDocument, counts commits, and can
// be told to refuse reads (a hive that cannot be opened) or commits (a write
// the store refuses: full disk, read-only directory).
#include <optional>
#include <string_view>

#include "settings/hive_document.h"
#include "settings/registry_hive.h"

namespace plovex {

class MemoryHive : public RegistryHive {
 public:
  MemoryHive() = default;
  explicit MemoryHive(HiveDocument doc) : doc_(std::move(doc)) {}

  // Hive file text, as HiveFile would hold it; nullopt when it does not parse.
  static std::optional<MemoryHive> FromText(std::string_view text);

  HiveDocument& document() { return doc_; }
  const HiveDocument& document() const { return doc_; }
  int commits() const { return commits_; }
  void set_readable(bool readable) { readable_ = readable; }
  void set_writable(bool writable) { writable_ = writable; }

  bool KeyExists(std::string_view key_path) override;
  Result<std::vector<HiveValue>> ReadKey(std::string_view key_path) override;
  Status CommitKey(std::string_view key_path, const std::vector<HiveValue>& writes,
                   HiveAccess access) override;
  bool OpenToOthers() override { return open_to_others; }

  // What OpenToOthers says; a commit for the owner alone clears it.
  bool open_to_others = false;

 private:
  HiveDocument doc_;
  int commits_ = 0;
  bool readable_ = true;
  bool writable_ = true;
};

}  // namespace plovex
