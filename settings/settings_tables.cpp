#include "settings/settings_tables.h"

#include <vector>

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

struct OverlayDefaults {
  const char* format;
  const char* oid;
  const char* kind;
  std::int32_t x, y;
};
constexpr OverlayDefaults kOverlayDefaults[5] = {
    {"System : %1", "1.3.6.1.2.1.1.1.0", "String", 0, 148},
    {"Uptime : %2", "1.3.6.1.2.1.1.3.0", "Time", 260, 0},
    {"Name : %3", "1.3.6.1.2.1.1.5.0", "String", 100, 148},
    {"WAN IP : %4", "1.3.6.1.2.1.4.20.1.1", "NextAdp", 290, 148},
    {"Loc. : %5", "1.3.6.1.2.1.1.6.0", "String", 170, 148},
};

std::vector<CurrentKeyRow> BuildCurrentKeyTable() {
  std::vector<CurrentKeyRow> t;
  const auto add = [&t](StoredValue v) { t.push_back({std::move(v)}); };
  add(Marker("VersionNum"));
  add(Text(
      "IP", [](S & s) -> auto& { return s.Ip; }, "192.168.1.1"));
  add(Text(
      "Community", [](S & s) -> auto& { return s.Community; }, "tamrel"));
  add(Text(
      "OID1", [](S & s) -> auto& { return s.Oid1.Oid; }, "1.3.6.1.2.1.2.2.1.10.2"));
  add(Int(
      "OID1Cx", [](S & s) -> auto& { return s.Oid1.TextX; }, 2));
  add(Int(
      "OID1Cy", [](S & s) -> auto& { return s.Oid1.TextY; }, 0));
  add(Colour(
      "OID1color", [](S & s) -> auto& { return s.Oid1.Color; }, "clGreen"));
  add(Bool(
      "OID1full", [](S & s) -> auto& { return s.Oid1.FullBars; }, true));
  add(Colour(
      "OID1MaxColor", [](S & s) -> auto& { return s.Oid1.MaxColor; }, "$0000A000"));
  t.push_back({Bool(
                   "OID1Grad", [](S & s) -> auto& { return s.Oid1.Gradient; }),
               true, 1});
  add(Text(
      "OID2", [](S & s) -> auto& { return s.Oid2.Oid; }, "1.3.6.1.2.1.2.2.1.16.2"));
  add(Int(
      "OID2Cx", [](S & s) -> auto& { return s.Oid2.TextX; }, 50));
  add(Int(
      "OID2Cy", [](S & s) -> auto& { return s.Oid2.TextY; }, 0));
  add(Colour(
      "OID2Color", [](S & s) -> auto& { return s.Oid2.Color; }, "clBlue"));
  add(Bool(
      "OID2Full", [](S & s) -> auto& { return s.Oid2.FullBars; }, false));
  add(Colour(
      "OID2MaxColor", [](S & s) -> auto& { return s.Oid2.MaxColor; }, "$00FF4040"));
  t.push_back({Bool(
                   "OID2Grad", [](S & s) -> auto& { return s.Oid2.Gradient; }),
               true, 2});
  add(Int(
      "GraphTX", [](S & s) -> auto& { return s.GraphTopX; }, 0));
  add(Int(
      "GraphTY", [](S & s) -> auto& { return s.GraphTopY; }, 12));
  add(Int(
      "GraphBX", [](S & s) -> auto& { return s.GraphBottomX; }, 400));
  add(Int(
      "GraphBY", [](S & s) -> auto& { return s.GraphBottomY; }, 147));
  add(Bool(
      "Hticks", [](S & s) -> auto& { return s.HTicks; }, true));
  add(Bool(
      "Vticks", [](S & s) -> auto& { return s.VTicks; }, true));
  add(Int(
      "TickFreq", [](S & s) -> auto& { return s.TickFreq; }, 1));
  add(Int(
      "Refresh", [](S & s) -> auto& { return s.Refresh; }, 1));
  add(Bool(
      "GLabel", [](S & s) -> auto& { return s.GraphLabel; }, true));
  add(Int(
      "MaxBytes", [](S & s) -> auto& { return s.MaxBytes; }, 64000));
  add(Int(
      "TxtSize", [](S & s) -> auto& { return s.TextSize; }, 7));
  add(Bool(
      "SaveGif", [](S & s) -> auto& { return s.SaveGif; }, true));
  add(Int(
      "SaveGifFreq", [](S & s) -> auto& { return s.SaveGifFreq; }, 0));
  add(Bool(
      "OIDTotal", [](S & s) -> auto& { return s.ShowTotal; }, true));
  add(Int(
      "OIDTCx", [](S & s) -> auto& { return s.TotalX; }, 100));
  add(Int(
      "OIDTCy", [](S & s) -> auto& { return s.TotalY; }, 0));
  for (int k = 1; k <= 5; ++k) {
    const std::string txt = "Txt" + std::to_string(k);
    const OverlayDefaults& d = kOverlayDefaults[k - 1];
    add(Text(
        txt, [k](S & s) -> auto& { return s.Texts[k].Format; }, d.format));
    add(Text(
        txt + "OID", [k](S & s) -> auto& { return s.Texts[k].Oid; }, d.oid));
    add(Text(
        txt + "Format", [k](S & s) -> auto& { return s.Texts[k].Kind; }, d.kind));
    add(Bool(
        txt + "Enable", [k](S & s) -> auto& { return s.Texts[k].Enabled; }, true));
    add(Int(
        txt + "Cx", [k](S & s) -> auto& { return s.Texts[k].X; }, d.x));
    add(Int(
        txt + "Cy", [k](S & s) -> auto& { return s.Texts[k].Y; }, d.y));
  }
  add(Int(
      "WindowTop", [](S & s) -> auto& { return s.WindowTop; }, kDefaultWindowTop));
  add(Int(
      "WindowLeft", [](S & s) -> auto& { return s.WindowLeft; }, kDefaultWindowLeft));
  add(Int(
      "WindowState", [](S & s) -> auto& { return s.WindowState; }, 1));
  add(Int(
      "WindowBorderStyle", [](S & s) -> auto& { return s.WindowBorderStyle; }, 1));
  add(Bool(
      "WindowLockDrag", [](S & s) -> auto& { return s.LockDrag; }, false));
  add(Bool(
      "WindowStayOnTop", [](S & s) -> auto& { return s.StayOnTop; }, false));
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
