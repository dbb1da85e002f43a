#include "settings/hive_document.h"

#include <algorithm>

#include "settings/hive_format.h"

namespace plovex {
namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameRegistryName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

std::string FoldedRegistryName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = AsciiLower(c);
  return folded;
}

const HiveValue* HiveKey::Find(std::string_view name) const {
  const auto it = index_.find(FoldedRegistryName(name));
  return it == index_.end() ? nullptr : &values_[it->second];
}

void HiveKey::Set(HiveValue value) {
  const auto [it, added] = index_.try_emplace(FoldedRegistryName(value.name), values_.size());
  if (added) {
    values_.push_back(std::move(value));
  } else {
    values_[it->second] = std::move(value);
  }
}

void HiveKey::Apply(HiveValue value) {
  if (value.type == hive_format::kRemoved) {
    Erase(value.name);
  } else {
    Set(std::move(value));
  }
}

void HiveKey::Erase(std::string_view name) {
  const auto it = index_.find(FoldedRegistryName(name));
  if (it == index_.end()) return;
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(it->second));
  Reindex();
}

void HiveKey::Reindex() {
  index_.clear();
  for (std::size_t i = 0; i < values_.size(); ++i) {
    index_.emplace(FoldedRegistryName(values_[i].name), i);
  }
}

const HiveKey* HiveDocument::FindKey(std::string_view full_path) const {
  const auto it = index_.find(FoldedRegistryName(full_path));
  return it == index_.end() ? nullptr : &keys_[it->second];
}

bool HiveDocument::KeyExists(std::string_view full_path) const {
  const std::string folded = FoldedRegistryName(full_path);
  return index_.contains(folded) || parents_.contains(folded);
}

HiveKey& HiveDocument::OpenOrCreateKey(std::string_view full_path) {
  std::string folded = FoldedRegistryName(full_path);
  const auto [it, added] = index_.try_emplace(folded, keys_.size());
  if (!added) {
    HiveKey& key = keys_[it->second];
    key.path_ = std::string(full_path);
    return key;
  }
  for (std::size_t slash = folded.find('\\'); slash != std::string::npos;
       slash = folded.find('\\', slash + 1)) {
    parents_.insert(folded.substr(0, slash));
  }
  keys_.emplace_back(std::string(full_path));
  return keys_.back();
}

}  // namespace plovex
