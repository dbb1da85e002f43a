#pragma once
// The settings schema: one typed row per stored setting of TPlovexSettings,
// in the order the settings store writes them: the value name, the record
// field it holds (by pointer to member, within a channel or an overlay where
// it lives there), its type (that of the field), its default, and what the
// absence of a stored value means. It drives the defaults (ApplyDefaultSettings),
// the settings store's load and save and the configuration panel's initial
// state and copies; a new setting is one row here plus its control.
//
// Not in the schema: the run-time state, the carried-over totals (stored
// apart, by SaveTotals) and the format marker "VersionNum" (the store's own).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "core/plovex_settings.h"
#include "image/color.h"

namespace plovex {

// A field of the record: a member of TPlovexSettings itself, or a member of
// channel `index` (1, 2) or of overlay `index` (1 to 5).
template <typename T>
struct SettingField {
  T TPlovexSettings::*member = nullptr;
  T OidChannel::*channel_member = nullptr;
  T TextOverlay::*overlay_member = nullptr;
  int index = 0;

  T& operator()(TPlovexSettings& s) const {
    if (member != nullptr) return s.*member;
    if (channel_member != nullptr) return s.Channel(index).*channel_member;
    return s.Texts[index].*overlay_member;
  }
  const T& operator()(const TPlovexSettings& s) const {
    return (*this)(const_cast<TPlovexSettings&>(s));
  }
};

// The four types a setting has: text, 32-bit integer, switch, colour.
using AnySettingField = std::variant<SettingField<std::string>, SettingField<std::int32_t>,
                                     SettingField<bool>, SettingField<Color>>;
using SettingValue = std::variant<std::string, std::int32_t, bool, Color>;

enum class WhenAbsent {
  kFail,        // a stored record must hold it (a missing text reads as empty)
  kKeep,        // keys of older versions lack it: the field keeps what it holds
  kUseDefault,  // optional: its absence means the default
};

struct Setting {
  std::string name;  // the value name, spelt exactly so
  AnySettingField field;
  SettingValue default_value;  // of the field's type
  WhenAbsent when_absent = WhenAbsent::kFail;

  // The record's field, as an address that tells fields apart.
  const void* FieldAddress(const TPlovexSettings& s) const;
  // The field in `to` takes its value in `from`.
  void CopyField(const TPlovexSettings& from, TPlovexSettings& to) const;
  void SetDefault(TPlovexSettings& s) const;
};

// Every row, in the order SaveSettings writes them.
std::span<const Setting> SettingsSchema();

// The row of a value name (exact spelling); null when there is none.
const Setting* FindSetting(std::string_view name);

}  // namespace plovex
