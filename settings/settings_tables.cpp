#include "settings/settings_tables.h"

#include <type_traits>
#include <vector>

#include "settings/color_text.h"

namespace plovex {
namespace {

using S = TPlovexSettings;

StoredValue Marker(std::string name) { return {std::move(name), StoredAs::kDouble, {}, ""}; }

StoredValue Text(std::string name, Accessor<std::string> field, std::string def = "") {
  return {std::move(name), StoredAs::kString, std::move(field), std::move(def)};
}
StoredValue Int(std::string name, Accessor<std::int32_t> field, std::int32_t def = 0) {
  return {std::move(name), StoredAs::kInteger, std::move(field), std::to_string(def)};
}
StoredValue IntText(std::string name, Accessor<std::int32_t> field) {
  return {std::move(name), StoredAs::kIntegerText, std::move(field), ""};
}
StoredValue Bool(std::string name, Accessor<bool> field, bool def = false) {
  return {std::move(name), StoredAs::kBool, std::move(field), def ? "1" : "0"};
}
StoredValue Colour(std::string name, Accessor<Color> field, std::string def = "") {
  return {std::move(name), StoredAs::kColorText, std::move(field), std::move(def)};
}
StoredValue Total(std::string name, Accessor<std::int64_t> field) {
  return {std::move(name), StoredAs::kTotalText, std::move(field), "0"};
}

// The setting as the current key stores it.
template <typename T>
StoredValue Stored(const Setting& setting, const SettingField<T>& field) {
  const Accessor<T> access = [field](S& s) -> T& { return field(s); };
  const T& def = std::get<T>(setting.default_value);
  if constexpr (std::is_same_v<T, std::string>) {
    return Text(setting.name, access, def);
  } else if constexpr (std::is_same_v<T, std::int32_t>) {
    return Int(setting.name, access, def);
  } else if constexpr (std::is_same_v<T, bool>) {
    return Bool(setting.name, access, def);
  } else {
    return Colour(setting.name, access, ColorToText(def));
  }
}

// Each total is read right after the row that precedes it in the key.
constexpr const char* kTotalReadAfter[] = {"OID1Grad", "OID2Grad"};

std::vector<CurrentKeyRow> BuildCurrentKeyTable() {
  std::vector<CurrentKeyRow> t;
  t.push_back({Marker("VersionNum")});
  for (const Setting& setting : SettingsSchema()) {
    CurrentKeyRow row{std::visit([&](const auto& f) { return Stored(setting, f); }, setting.field)};
    row.setting = &setting;
    row.when_absent = setting.when_absent;
    for (int k = 1; k <= 2; ++k) {
      if (setting.name == kTotalReadAfter[k - 1]) row.total_after = k;
    }
    t.push_back(std::move(row));
  }
  return t;
}

std::vector<OldKeyRow> BuildOldKeyTable() {
  using G = OldKeyGate;
  std::vector<OldKeyRow> t;
  const auto add = [&t](StoredValue v, G gate = G::kAlways) { t.push_back({std::move(v), gate}); };
  add(Text(
      "Monitored IP", [](S & s) -> auto& { return s.Ip; }));
  add(Text(
      "Community", [](S & s) -> auto& { return s.Community; }));
  add(Text(
      "OID 1", [](S & s) -> auto& { return s.Oid1.Oid; }));
  add(IntText(
      "OIDtextX1", [](S & s) -> auto& { return s.Oid1.TextX; }));
  add(IntText(
      "OIDtextY1", [](S & s) -> auto& { return s.Oid1.TextY; }));
  add(Colour(
      "OIDcolor1", [](S & s) -> auto& { return s.Oid1.Color; }));
  add(Bool(
      "OIDfull1", [](S & s) -> auto& { return s.Oid1.FullBars; }));
  add(Text(
      "OID 2", [](S & s) -> auto& { return s.Oid2.Oid; }));
  add(IntText(
      "OIDtextX2", [](S & s) -> auto& { return s.Oid2.TextX; }));
  add(IntText(
      "OIDtextY2", [](S & s) -> auto& { return s.Oid2.TextY; }));
  add(Colour(
      "OIDcolor2", [](S & s) -> auto& { return s.Oid2.Color; }));
  add(Bool(
      "OIDfull2", [](S & s) -> auto& { return s.Oid2.FullBars; }));
  add(IntText(
      "GraphTX", [](S & s) -> auto& { return s.GraphTopX; }));
  add(IntText(
      "GraphTY", [](S & s) -> auto& { return s.GraphTopY; }));
  add(IntText(
      "GraphBX", [](S & s) -> auto& { return s.GraphBottomX; }));
  add(IntText(
      "GraphBY", [](S & s) -> auto& { return s.GraphBottomY; }));
  for (int k = 1; k <= 4; ++k) {
    const std::string n = std::to_string(k);
    add(Text(
        "P" + n, [k](S & s) -> auto& { return s.Texts[k].Oid; }));
    add(Text(
        "Ptype" + n, [k](S & s) -> auto& { return s.Texts[k].Kind; }));
    add(Bool(
        "ShowText" + n, [k](S & s) -> auto& { return s.Texts[k].Enabled; }));
    add(Text(
        "Total Text" + n, [k](S & s) -> auto& { return s.Texts[k].Format; }));
    add(IntText(
        "Total TextX" + n, [k](S & s) -> auto& { return s.Texts[k].X; }));
    add(IntText(
        "Total TextY" + n, [k](S & s) -> auto& { return s.Texts[k].Y; }));
  }
  add(Bool(
      "Horizontal Ticks", [](S & s) -> auto& { return s.HTicks; }));
  add(Bool(
      "Vertical Ticks", [](S & s) -> auto& { return s.VTicks; }));
  add(Int(
      "Text size", [](S & s) -> auto& { return s.TextSize; }));
  add(Bool(
      "Save To Gif", [](S & s) -> auto& { return s.SaveGif; }));
  add(Bool(
      "Total up down", [](S & s) -> auto& { return s.ShowTotal; }));
  add(IntText(
      "Total Text X", [](S & s) -> auto& { return s.TotalX; }));
  add(IntText(
      "Total Text Y", [](S & s) -> auto& { return s.TotalY; }));
  t.push_back({Text("Version", {}), G::kAlways, OldKeyRole::kVersion});
  add(Bool(
          "ShowText5", [](S & s) -> auto& { return s.Texts[5].Enabled; }),
      G::kVersion095);
  add(Text(
          "Total Text5", [](S & s) -> auto& { return s.Texts[5].Format; }),
      G::kVersion095);
  add(IntText(
          "Total TextX5", [](S & s) -> auto& { return s.Texts[5].X; }),
      G::kVersion095);
  add(IntText(
          "Total TextY5", [](S & s) -> auto& { return s.Texts[5].Y; }),
      G::kVersion095);
  add(Text(
          "P5", [](S & s) -> auto& { return s.Texts[5].Oid; }),
      G::kVersion095);
  add(Text(
          "Ptype5", [](S & s) -> auto& { return s.Texts[5].Kind; }),
      G::kVersion095);
  add(IntText(
          "Refresh", [](S & s) -> auto& { return s.Refresh; }),
      G::kVersion095);
  add(IntText(
          "TickFreq", [](S & s) -> auto& { return s.TickFreq; }),
      G::kVersion095);
  add(Bool(
          "Graph Label", [](S & s) -> auto& { return s.GraphLabel; }),
      G::kVersion095);
  t.push_back({Marker("VersionNum"), G::kVersion095, OldKeyRole::kVersionNum});
  add(Int(
          "WindowState", [](S & s) -> auto& { return s.WindowState; }),
      G::kVersionNumAbove097);
  add(Int(
          "WindowBorderStyle", [](S & s) -> auto& { return s.WindowBorderStyle; }),
      G::kVersionNumAbove097);
  add(Bool(
          "WindowLockDrag", [](S & s) -> auto& { return s.LockDrag; }),
      G::kVersionNumAbove097);
  add(Colour(
          "OIDcolor1Max", [](S & s) -> auto& { return s.Oid1.MaxColor; }),
      G::kVersionNumAbove097);
  add(Colour(
          "OIDcolor2Max", [](S & s) -> auto& { return s.Oid2.MaxColor; }),
      G::kVersionNumAbove097);
  add(Int(
          "GIFSaveFrequency", [](S & s) -> auto& { return s.SaveGifFreq; }),
      G::kVersionNumAbove097);
  add(IntText(
          "Maximum", [](S & s) -> auto& { return s.MaxBytes; }),
      G::kVersionNumExists);
  add(Int(
      "WindowsTop", [](S & s) -> auto& { return s.WindowTop; }));
  add(Int(
      "WindowsLeft", [](S & s) -> auto& { return s.WindowLeft; }));
  return t;
}

}  // namespace

std::span<const CurrentKeyRow> CurrentKeyTable() {
  static const std::vector<CurrentKeyRow> table = BuildCurrentKeyTable();
  return table;
}

std::span<const StoredValue> TotalsTable() {
  static const std::vector<StoredValue> table = {
      Total(
          "OID1Last", [](S & s) -> auto& { return s.Oid1.Total; }),
      Total(
          "OID2Last", [](S & s) -> auto& { return s.Oid2.Total; }),
  };
  return table;
}

std::span<const OldKeyRow> OldKeyTable() {
  static const std::vector<OldKeyRow> table = BuildOldKeyTable();
  return table;
}

}  // namespace plovex
