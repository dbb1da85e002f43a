#include "settings/registry_key.h"

#include <cstring>
#include <exception>

#include "base/little_endian.h"
#include "core/plovex_error.h"
#include "settings/hive_format.h"
#include "settings/utf16.h"

namespace plovex {
namespace {

using hive_format::kRegBinary;
using hive_format::kRegDword;
using hive_format::kRegExpandSz;
using hive_format::kRegSz;
using hive_format::kRemoved;

[[noreturn]] void Fail(const char* what, std::string_view name) {
  throw PlovexError(std::string(what) + " '" + std::string(name) + "'");
}

// The size the registry reports for a value: text with its terminating zero.
std::size_t StoredSize(const HiveValue& value) {
  return value.type == kRegSz ? value.data.size() + 1 : value.data.size();
}

std::string LittleEndian(std::uint64_t v, int bytes) {
  std::string out;
  AppendLittleEndian(out, v, static_cast<std::size_t>(bytes));
  return out;
}

}  // namespace

RegistryKey::RegistryKey(RegistryHive& hive, std::string key_path)
    : hive_(hive), key_path_(std::move(key_path)) {
  Result<std::vector<HiveValue>> values = hive_.ReadKey(key_path_);
  if (values.ok()) {
    open_ = true;
    for (HiveValue& value : *values) view_.Set(std::move(value));
  }
}

const HiveValue* RegistryKey::Find(std::string_view name) const { return view_.Find(name); }

bool RegistryKey::ValueExists(std::string_view name) const { return Find(name) != nullptr; }

std::string RegistryKey::ReadString(std::string_view name) const {
  const HiveValue* value = Find(name);
  if (value == nullptr) return {};
  if (value->type == kRegSz) return value->data;
  if (value->type == kRegExpandSz) {
    // Kept as the UTF-16LE bytes the registry editor exported.
    std::string text = Utf16LeToUtf8(value->data).value_or(value->data);
    if (const auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return text;
  }
  Fail("Invalid data type for", name);
}

std::uint32_t RegistryKey::ReadDword(std::string_view name) const {
  const HiveValue* value = Find(name);
  if (value == nullptr || StoredSize(*value) > 4) Fail("Failed to get data for", name);
  if (value->type != kRegDword) Fail("Invalid data type for", name);
  return static_cast<std::uint32_t>(ReadLittleEndian(value->data));
}

std::int32_t RegistryKey::ReadInteger(std::string_view name) const {
  return static_cast<std::int32_t>(ReadDword(name));
}

bool RegistryKey::ReadBool(std::string_view name) const { return ReadDword(name) != 0; }

double RegistryKey::ReadDouble(std::string_view name) const {
  const HiveValue* value = Find(name);
  if (value == nullptr || StoredSize(*value) > 8) Fail("Failed to get data for", name);
  if (value->type != kRegBinary || value->data.size() != 8) Fail("Invalid data type for", name);
  double d;
  const std::uint64_t bits = ReadLittleEndian(value->data);
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

void RegistryKey::Write(HiveValue value) {
  view_.Set(value);
  writes_.push_back(std::move(value));
}

void RegistryKey::Remove(std::string_view name) {
  view_.Erase(name);
  writes_.push_back({std::string(name), kRemoved, {}});
}

void RegistryKey::WriteString(std::string_view name, std::string_view text) {
  Write({std::string(name), kRegSz, std::string(text)});
}

void RegistryKey::WriteInteger(std::string_view name, std::int32_t value) {
  Write({std::string(name), kRegDword, LittleEndian(static_cast<std::uint32_t>(value), 4)});
}

void RegistryKey::WriteBool(std::string_view name, bool value) {
  WriteInteger(name, value ? 1 : 0);
}

void RegistryKey::WriteDouble(std::string_view name, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  Write({std::string(name), kRegBinary, LittleEndian(bits, 8)});
}

Status RegistryKey::Commit() {
  if (writes_.empty()) return Status::Ok();
  if (!open_) return Status::IoError("the key was never opened");
  return hive_.CommitKey(key_path_, writes_, access_);
}

void RegistryKey::Close() {
  if (closed_) return;
  closed_ = true;
  if (!Commit().ok()) Fail("Failed to set data for", writes_.front().name);
  writes_.clear();
}

void RegistryKey::CloseAfterFailure() noexcept {
  if (closed_) return;
  closed_ = true;
  try {
    // What it says is not news: the caller reports the first failure.
    static_cast<void>(Commit());
  } catch (const std::exception&) {
    // The hive's own failure; the caller reports the first one.
  }
  writes_.clear();
}

}  // namespace plovex
