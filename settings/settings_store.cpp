#include "settings/settings_store.h"

#include <exception>
#include <optional>
#include <string>

#include "core/int_text.h"
#include "settings/color_text.h"
#include "settings/registry_key.h"
#include "settings/settings_tables.h"

namespace plovex {
namespace {

void ReadValue(const RegistryKey& key, const StoredValue& v, TPlovexSettings& s) {
  switch (v.type) {
    case StoredAs::kString:
      std::get<Accessor<std::string>>(v.field)(s) = key.ReadString(v.name);
      break;
    case StoredAs::kInteger:
      std::get<Accessor<std::int32_t>>(v.field)(s) = key.ReadInteger(v.name);
      break;
    case StoredAs::kBool:
      std::get<Accessor<bool>>(v.field)(s) = key.ReadBool(v.name);
      break;
    case StoredAs::kColorText:
      std::get<Accessor<Color>>(v.field)(s) = TextToColor(key.ReadString(v.name));
      break;
    case StoredAs::kIntegerText:
      std::get<Accessor<std::int32_t>>(v.field)(s) = StrToInt(key.ReadString(v.name));
      break;
    case StoredAs::kTotalText:
      std::get<Accessor<std::int64_t>>(v.field)(s) = StrToInt64(key.ReadString(v.name));
      break;
    case StoredAs::kDouble:  // markers only; the store reads them itself
      break;
  }
}

void WriteValue(RegistryKey& key, const StoredValue& v, TPlovexSettings& s) {
  switch (v.type) {
    case StoredAs::kString:
      key.WriteString(v.name, std::get<Accessor<std::string>>(v.field)(s));
      break;
    case StoredAs::kInteger:
      key.WriteInteger(v.name, std::get<Accessor<std::int32_t>>(v.field)(s));
      break;
    case StoredAs::kBool:
      key.WriteBool(v.name, std::get<Accessor<bool>>(v.field)(s));
      break;
    case StoredAs::kColorText:
      key.WriteString(v.name, ColorToText(std::get<Accessor<Color>>(v.field)(s)));
      break;
    case StoredAs::kIntegerText:
      key.WriteString(v.name, std::to_string(std::get<Accessor<std::int32_t>>(v.field)(s)));
      break;
    case StoredAs::kTotalText:
      key.WriteString(v.name, std::to_string(std::get<Accessor<std::int64_t>>(v.field)(s)));
      break;
    case StoredAs::kDouble:
      key.WriteDouble(v.name, kSavedVersionNum);
      break;
  }
}

// Runs body on the open key and closes it; after a failure in body the key is
// still closed (committing what was written) and the first failure goes on.
template <typename Body>
void WithKey(RegistryKey& key, Body body) {
  try {
    body();
  } catch (...) {
    key.CloseAfterFailure();
    throw;
  }
  key.Close();
}

}  // namespace

SettingsStore::SettingsStore(RegistryHive& hive, TPlovexSettings& settings,
                             SettingsControls& controls)
    : hive_(hive), settings_(settings), controls_(controls) {}

void SettingsStore::LoadSettings() {
  std::exception_ptr failure;
  try {
    Load();
  } catch (...) {
    failure = std::current_exception();
  }
  controls_.SettingsToControls();
  if (failure) std::rethrow_exception(failure);
}

void SettingsStore::Load() {
  if (hive_.KeyExists(kCurrentKeyPath)) {
    RegistryKey key(hive_, kCurrentKeyPath);
    WithKey(key, [&] {
      key.WriteDouble("VersionNum", kLoadedVersionNum);
      ReadCurrentKey(key);
    });
  } else if (hive_.KeyExists(kOldKeyPath)) {
    RegistryKey key(hive_, kOldKeyPath);
    WithKey(key, [&] {
      ReadOldKey(key);
      controls_.SettingsToControls();
      SaveSettings();
    });
  } else {
    controls_.ControlsToSettings();
  }
}

void SettingsStore::ReadCurrentKey(RegistryKey& key) {
  const auto totals = TotalsTable();
  for (const CurrentKeyRow& row : CurrentKeyTable()) {
    if (row.value.type == StoredAs::kDouble) continue;  // "VersionNum" is never read back
    if (!row.read_only_if_present || key.ValueExists(row.value.name)) {
      ReadValue(key, row.value, settings_);
    }
    if (row.total_after != 0) {
      const StoredValue& total = totals[row.total_after - 1];
      if (key.ValueExists(total.name)) ReadValue(key, total, settings_);
    }
  }
}

void SettingsStore::ReadOldKey(RegistryKey& key) {
  std::string version;
  std::optional<long double> version_num;  // only read when version is "0.9.5"
  for (const OldKeyRow& row : OldKeyTable()) {
    bool pass = false;
    switch (row.gate) {
      case OldKeyGate::kAlways:
        pass = true;
        break;
      case OldKeyGate::kVersion095:
        pass = version == "0.9.5";
        break;
      case OldKeyGate::kVersionNumExists:
        pass = version_num.has_value();
        break;
      case OldKeyGate::kVersionNumAbove097:
        // The stored double 0.97 lies below 0.97 held in 80 bits, so it fails.
        pass = version_num.has_value() && *version_num > 0.97L;
        break;
    }
    if (!pass) continue;
    switch (row.role) {
      case OldKeyRole::kVersion:
        version = key.ReadString(row.value.name);
        break;
      case OldKeyRole::kVersionNum:
        if (key.ValueExists(row.value.name)) version_num = key.ReadDouble(row.value.name);
        break;
      case OldKeyRole::kField:
        ReadValue(key, row.value, settings_);
        break;
    }
  }
}

void SettingsStore::SaveSettings() {
  RegistryKey key(hive_, kCurrentKeyPath);
  if (!key.is_open()) return;
  WithKey(key, [&] {
    for (const CurrentKeyRow& row : CurrentKeyTable()) WriteValue(key, row.value, settings_);
  });
}

void SettingsStore::SaveTotals() {
  RegistryKey key(hive_, kCurrentKeyPath);
  if (!key.is_open()) return;
  WithKey(key, [&] {
    for (const StoredValue& total : TotalsTable()) WriteValue(key, total, settings_);
  });
}

}  // namespace plovex
