#pragma once
// The settings schema: one typed row per stored setting of TPlovexSettings,
// in the order the settings store writes them: the value name, the record
// field it holds (by pointer to member, within a channel or an overlay where
// it lives there), its type (that of the field), its default, and what the
// absence of a stored value means. It drives the defaults (ApplyDefaultSettings),
// the settings store's load and save and the configuration panel's initial
// state and copies. Each row is also a named handle typed by its field
// (SchemaRows()), which the panel binds its controls to: a new setting is a
// field of the record, a row here and a control bound to the row's handle, and
// a handle that is misspelt or of another type than its control does not
// compile.
//
// Not in the schema: the run-time state, the carried-over totals (stored
// apart, by SaveTotals) and the format marker "VersionNum" (the store's own).
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

#include "core/one_based.h"
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

// A handle to one row whose field has type T. A handle that no row was made
// for is a programming error, found when it is first used.
template <typename T>
class SettingRow {
 public:
  SettingRow() = default;
  explicit SettingRow(std::size_t index) : index_(index) {}
  const Setting& setting() const {
    if (index_ >= SettingsSchema().size()) throw std::logic_error("a schema row never made");
    return SettingsSchema()[index_];
  }
  const SettingField<T>& field() const { return std::get<SettingField<T>>(setting().field); }

 private:
  std::size_t index_ = static_cast<std::size_t>(-1);
};

struct ChannelRows {
  SettingRow<std::string> Oid;
  SettingRow<std::int32_t> TextX, TextY;
  SettingRow<plovex::Color> Color;
  SettingRow<plovex::Color> MaxColor;
  SettingRow<bool> FullBars, Gradient;
};

struct OverlayRows {
  SettingRow<std::string> Format, Oid, Kind;
  SettingRow<bool> Enabled;
  SettingRow<std::int32_t> X, Y;
};

// The rows by the record's field names (channel k and overlay k 1-based).
struct SchemaRowHandles {
  SettingRow<std::string> Ip, Community, SnmpVersion, SnmpUser, SnmpAuthProtocol, SnmpPrivProtocol,
      SnmpAuthKey, SnmpPrivKey, GifFolder;
  OneBased<ChannelRows, 2> Channels;
  SettingRow<std::string> Interface, UsageCap, MetricsListen;
  SettingRow<std::int32_t> UsageResetDay;
  SettingRow<std::int32_t> NotifyDownPolls, NotifyRateAbove, NotifyRateSeconds;
  SettingRow<bool> NotifyCap;
  SettingRow<std::int32_t> GraphTopX, GraphTopY, GraphBottomX, GraphBottomY, TickFreq, Refresh,
      MaxBytes, TextSize, SaveGifFreq, TotalX, TotalY, WindowTop, WindowLeft, WindowState,
      WindowBorderStyle;
  SettingRow<bool> HTicks, VTicks, GraphLabel, SaveGif, ShowTotal, LockDrag, StayOnTop;
  OneBased<OverlayRows, 5> Texts;
};
const SchemaRowHandles& SchemaRows();

// The row of a value name (exact spelling); null when there is none.
const Setting* FindSetting(std::string_view name);

}  // namespace plovex
