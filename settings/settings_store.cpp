#include "settings/settings_store.h"

#include "core/divisor_settings.h"
#include "core/snmp_security.h"

#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "core/int_text.h"
#include "core/plovex_error.h"
#include "settings/color_text.h"
#include "settings/registry_key.h"
#include "settings/settings_tables.h"

namespace plovex {

namespace {

// Passphrases a user may write into the hive by hand (a headless server has
// no panel): each is turned into its master key at load and never kept.
struct Passphrase {
  const char* name;
  const char* key_name;
  std::string Passphrases::*typed;
  std::string TPlovexSettings::*key;
};
constexpr Passphrase kPassphrases[] = {
    {"SNMPAuthPassphrase", "SNMPAuthKey", &Passphrases::auth, &TPlovexSettings::SnmpAuthKey},
    {"SNMPPrivPassphrase", "SNMPPrivKey", &Passphrases::priv, &TPlovexSettings::SnmpPrivKey},
};

}  // namespace
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

// The record field a value holds, as an address that tells fields apart;
// null for the markers.
const void* FieldAddress(const StoredValue& v, TPlovexSettings& s) {
  return std::visit(
      [&s](const auto& field) -> const void* {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::monostate>) {
          return nullptr;
        } else {
          return &field(s);
        }
      },
      v.field);
}

// The field of `v` in `to` takes its value in `from`.
void CopyField(const StoredValue& v, TPlovexSettings& from, TPlovexSettings& to) {
  std::visit(
      [&](const auto& field) {
        if constexpr (!std::is_same_v<std::decay_t<decltype(field)>, std::monostate>) {
          field(to) = field(from);
        }
      },
      v.field);
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

// Whether the key holds a version 3 master key, as good as its passphrase to
// whoever reads it; if so its commit is for the hive's owner alone.
bool ProtectSecrets(RegistryKey& key) {
  bool secret = false;
  for (const Passphrase& p : kPassphrases) {
    try {
      secret = secret || !key.ReadString(p.key_name).empty();
    } catch (const PlovexError&) {
      secret = true;  // not text, but something is stored there
    }
  }
  if (secret) key.ForOwnerOnly();
  return secret;
}

constexpr char kOwnerOnlyNotice[] =
    "The settings file could be read or changed by other users. It holds SNMPv3 keys now, so it "
    "is yours alone from now on (mode 0600)";

}  // namespace

template <typename Body>
void SettingsStore::WithKey(RegistryKey& key, Body body) {
  try {
    body();
  } catch (...) {
    ProtectSecrets(key);
    key.CloseAfterFailure();
    throw;
  }
  const bool narrowing = ProtectSecrets(key) && hive_.OpenToOthers();
  key.Close();
  if (narrowing) notice_ = kOwnerOnlyNotice;
}

std::string SettingsStore::TakeNotice() { return std::exchange(notice_, std::string()); }

SettingsStore::SettingsStore(RegistryHive& hive, TPlovexSettings& settings,
                             SettingsControls& controls)
    : hive_(hive), settings_(settings), controls_(controls) {}

void SettingsStore::LoadSettings() {
  read_.clear();
  record_whole_ = false;
  applied_ = false;
  totals_pending_ = false;
  refused_passphrase_ = Status::Ok();
  std::exception_ptr failure;
  try {
    Load();
  } catch (...) {
    failure = std::current_exception();
  }
  if (!record_whole_) DefaultTheUnread();
  // A stored zero divisor would fail every tick: the default stands in for
  // the run, and the hive keeps its value unless the user applies another.
  const Status usable = ReplaceUnusableDivisors(settings_);
  if (!usable.ok()) record_whole_ = false;
  const std::string notice = TakeNotice();
  controls_.SettingsToControls();
  // What the user is told, once: the failure, then what the load refused.
  std::string told;
  const auto tell = [&told](const std::string& line) {
    if (line.empty()) return;
    told += (told.empty() ? "" : "\n") + line;
  };
  if (failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const std::exception& e) {
      if (usable.ok() && refused_passphrase_.ok() && notice.empty()) throw;
      tell(e.what());
    }
  }
  tell(usable.message());
  tell(refused_passphrase_.message());
  tell(notice);
  if (!told.empty()) throw PlovexError(told);
}

void SettingsStore::Load() {
  if (hive_.KeyExists(kCurrentKeyPath)) {
    RegistryKey key(hive_, kCurrentKeyPath);
    WithKey(key, [&] {
      key.WriteDouble("VersionNum", kLoadedVersionNum);
      try {
        ReadCurrentKey(key);
      } catch (...) {
        ReadTotalsAfterFailure(key);
        throw;
      }
      TakePassphrases(key);
      record_whole_ = true;
    });
  } else if (hive_.KeyExists(kOldKeyPath)) {
    RegistryKey key(hive_, kOldKeyPath);
    WithKey(key, [&] {
      ReadOldKey(key);
      record_whole_ = true;
      DefaultUnreadDivisors();  // an old version may not have had them
      DefaultValuesAddedSince();
      controls_.SettingsToControls();
      SaveSettings();
    });
  } else {
    controls_.ControlsToSettings();
    record_whole_ = true;
  }
}

void SettingsStore::DefaultUnreadDivisors() {
  TPlovexSettings defaults;
  ApplyDefaultSettings(defaults);
  for (const DivisorSetting& d : kDivisorSettings) {
    if (!read_.contains(&(settings_.*d.field))) settings_.*d.field = defaults.*d.field;
  }
}

void SettingsStore::DefaultValuesAddedSince() {
  // The old key predates them: the take-over saves what a hive without them
  // loads as (version 1 above all), never an empty text.
  for (const CurrentKeyRow& row : CurrentKeyTable()) {
    if (row.when_absent != WhenAbsent::kUseDefault) continue;
    if (!read_.contains(row.setting->FieldAddress(settings_))) row.setting->SetDefault(settings_);
  }
}

void SettingsStore::Read(const RegistryKey& key, const StoredValue& v) {
  ReadValue(key, v, settings_);
  read_.insert(FieldAddress(v, settings_));
}

void SettingsStore::ReadTotalsAfterFailure(const RegistryKey& key) {
  // The totals count on across runs; starting them from 0 would lose them at
  // the next SaveTotals. One that cannot be read is not written (SaveTotals).
  for (const StoredValue& total : TotalsTable()) {
    if (read_.contains(FieldAddress(total, settings_)) || !key.ValueExists(total.name)) continue;
    try {
      Read(key, total);
    } catch (const PlovexError&) {
    }
  }
}

void SettingsStore::DefaultTheUnread() {
  TPlovexSettings defaults;
  ApplyDefaultSettings(defaults);
  const auto take_default = [&](const StoredValue& v) {
    const void* field = FieldAddress(v, settings_);
    if (field != nullptr && !read_.contains(field)) CopyField(v, defaults, settings_);
  };
  for (const CurrentKeyRow& row : CurrentKeyTable()) take_default(row.value);
  for (const StoredValue& total : TotalsTable()) take_default(total);
}

void SettingsStore::ReadCurrentKey(RegistryKey& key) {
  const auto totals = TotalsTable();
  for (const CurrentKeyRow& row : CurrentKeyTable()) {
    if (row.value.type == StoredAs::kDouble) continue;  // "VersionNum" is never read back
    if (row.when_absent == WhenAbsent::kFail || key.ValueExists(row.value.name)) {
      Read(key, row.value);
    } else if (row.when_absent == WhenAbsent::kUseDefault) {
      row.setting->SetDefault(settings_);
      read_.insert(row.setting->FieldAddress(settings_));
    }
    if (row.total_after != 0) {
      const StoredValue& total = totals[row.total_after - 1];
      if (key.ValueExists(total.name)) Read(key, total);
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
        Read(key, row.value);
        break;
    }
  }
}

void SettingsStore::SaveSettings() {
  RegistryKey key(hive_, kCurrentKeyPath);
  if (!key.is_open()) return;
  WithKey(key, [&] {
    for (const CurrentKeyRow& row : CurrentKeyTable()) WriteValue(key, row.value, settings_);
    for (const Passphrase& p : kPassphrases) {
      if (key.ValueExists(p.name)) key.Remove(p.name);
    }
  });
}

void SettingsStore::TakePassphrases(RegistryKey& key) {
  for (const Passphrase& p : kPassphrases) {
    if (!key.ValueExists(p.name)) continue;
    Passphrases one;
    one.*p.typed = key.ReadString(p.name);
    const Status taken = plovex::TakePassphrases(settings_, one);
    // Without a known authentication protocol there is no key to make: the
    // passphrase waits in the hive for the protocol to be set.
    if (taken.code() == StatusCode::kNotFound) continue;
    if (taken.ok()) {
      // The key is written with the marker's commit; the passphrase is gone.
      key.WriteString(p.key_name, settings_.*p.key);
    } else if (refused_passphrase_.ok()) {
      // One the panel would refuse makes no key either; it is not kept, and
      // the stored key stays as it was.
      refused_passphrase_ = taken;
    }
    key.Remove(p.name);
  }
}

void SettingsStore::SaveSettingsAtClose() {
  if (!record_whole_ && !applied_) return;
  SaveSettings();
  if (totals_pending_) {
    totals_pending_ = false;
    SaveTotals();
  }
}

void SettingsStore::SettingsApplied() { applied_ = true; }

void SettingsStore::SaveTotals() {
  if (!record_whole_ && !applied_ && !hive_.KeyExists(kCurrentKeyPath)) {
    // Creating the current key now would stop the take-over of the old key
    // from ever being tried again; the totals wait for a save the user allows.
    totals_pending_ = true;
    return;
  }
  RegistryKey key(hive_, kCurrentKeyPath);
  if (!key.is_open()) return;
  const bool keep_unread = !record_whole_ && !applied_;
  WithKey(key, [&] {
    for (const StoredValue& total : TotalsTable()) {
      // A stored total the failed load could not read is left for the user.
      if (keep_unread && key.ValueExists(total.name) &&
          !read_.contains(FieldAddress(total, settings_))) {
        continue;
      }
      WriteValue(key, total, settings_);
    }
  });
}

}  // namespace plovex
