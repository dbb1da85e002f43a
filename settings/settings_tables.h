#pragma once
// The tables that drive the settings store: the current key (the settings
// schema's rows in their stored types, after the "VersionNum" marker); the two
// carried-over totals; and the earlier version's key with the
// gates under which each of its values is taken over. Load and save walk these
// tables in order, so the order of the rows is the order of the reads and
// writes.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <variant>

#include "core/plovex_settings.h"
#include "core/settings_schema.h"
#include "image/color.h"

namespace plovex {

inline constexpr const char* kCurrentKeyPath = "\\Software\\Kestrune\\Plovex_1";
inline constexpr const char* kOldKeyPath = "\\Software\\Kestrune\\Plovex";

// The "VersionNum" format marker: written on save, and (a different value) on
// loading an existing key; never read back from the current key.
inline constexpr double kSavedVersionNum = 1.2;
inline constexpr double kLoadedVersionNum = 1.21;

enum class StoredAs {
  kString,       // REG_SZ
  kInteger,      // REG_DWORD, signed 32 bits
  kBool,         // REG_DWORD, 1 or 0; not 0 reads as true
  kDouble,       // REG_BINARY of 8 bytes, IEEE 754 little-endian
  kColorText,    // REG_SZ in the colour text form
  kIntegerText,  // REG_SZ, a 32-bit integer as text
  kTotalText,    // REG_SZ, a 64-bit integer as decimal text
};

template <typename T>
using Accessor = std::function<T&(TPlovexSettings&)>;

// The record field a value holds: a string, int32, bool, colour or int64
// field, matching the stored type; none for the format and version markers.
using FieldRef = std::variant<std::monostate, Accessor<std::string>, Accessor<std::int32_t>,
                              Accessor<bool>, Accessor<Color>, Accessor<std::int64_t>>;

struct StoredValue {
  std::string name;
  StoredAs type;
  FieldRef field;
  std::string default_text;  // the default as stored ("1" for true, "clGreen", ...)
};

// A row of the current key: "VersionNum", or a row of the settings schema.
struct CurrentKeyRow {
  StoredValue value;
  const Setting* setting = nullptr;  // null for "VersionNum"
  WhenAbsent when_absent = WhenAbsent::kFail;
  int total_after = 0;  // read total 1 or 2 right after this row
};

enum class OldKeyGate {
  kAlways,
  kVersion095,          // "Version" is exactly "0.9.5"
  kVersionNumExists,    // ... and "VersionNum" exists
  kVersionNumAbove097,  // ... and "VersionNum" > 0.97 compared as an 80-bit value
};

enum class OldKeyRole { kField, kVersion, kVersionNum };

struct OldKeyRow {
  StoredValue value;
  OldKeyGate gate;
  OldKeyRole role = OldKeyRole::kField;
};

// "VersionNum" first, then every row of SettingsSchema(), in the order
// SaveSettings writes them.
std::span<const CurrentKeyRow> CurrentKeyTable();
// "OID1Last", "OID2Last": written only by SaveTotals.
std::span<const StoredValue> TotalsTable();
// The old key's values in the order LoadSettings reads them.
std::span<const OldKeyRow> OldKeyTable();

}  // namespace plovex
