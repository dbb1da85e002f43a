#include "settings/hive_document.h"

#include <algorithm>

namespace plovex {
namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameRegistryName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

const HiveKey* HiveDocument::FindKey(std::string_view full_path) const {
  for (const HiveKey& key : keys_) {
    if (SameRegistryName(key.path, full_path)) return &key;
  }
  return nullptr;
}

bool HiveDocument::KeyExists(std::string_view full_path) const {
  for (const HiveKey& key : keys_) {
    std::string_view path = key.path;
    if (path.size() > full_path.size() && path[full_path.size()] == '\\') {
      path = path.substr(0, full_path.size());
    }
    if (SameRegistryName(path, full_path)) return true;
  }
  return false;
}

HiveKey& HiveDocument::OpenOrCreateKey(std::string_view full_path) {
  for (HiveKey& key : keys_) {
    if (SameRegistryName(key.path, full_path)) {
      key.path = std::string(full_path);
      return key;
    }
  }
  keys_.push_back(HiveKey{std::string(full_path), {}});
  return keys_.back();
}

void HiveDocument::SetValue(HiveKey& key, HiveValue value) {
  for (HiveValue& existing : key.values) {
    if (SameRegistryName(existing.name, value.name)) {
      existing = std::move(value);
      return;
    }
  }
  key.values.push_back(std::move(value));
}

const HiveValue* HiveDocument::FindValue(const HiveKey& key, std::string_view name) {
  for (const HiveValue& value : key.values) {
    if (SameRegistryName(value.name, name)) return &value;
  }
  return nullptr;
}

}  // namespace plovex
