#include "core/settings_schema.h"

#include <vector>

namespace plovex {
namespace {

using S = TPlovexSettings;

template <typename T>
SettingField<T> Of(T S::*member) {
  return {.member = member};
}
template <typename T>
SettingField<T> OfChannel(int k, T OidChannel::*member) {
  return {.channel_member = member, .index = k};
}
template <typename T>
SettingField<T> OfOverlay(int k, T TextOverlay::*member) {
  return {.overlay_member = member, .index = k};
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

std::vector<Setting> BuildSchema() {
  using C = OidChannel;
  using O = TextOverlay;
  using std::string;
  const auto i32 = [](std::int32_t v) { return SettingValue(v); };
  const auto color = [](Color v) { return SettingValue(v); };
  const auto text = [](const char* v) { return SettingValue(string(v)); };
  constexpr WhenAbsent kKeep = WhenAbsent::kKeep;
  // Added after the values of the Windows version: a hive without them is
  // version 1 with a community, as every hive before them was.
  constexpr WhenAbsent kOptional = WhenAbsent::kUseDefault;
  std::vector<Setting> t = {
      {"IP", Of(&S::Ip), text("192.168.1.1")},
      {"Community", Of(&S::Community), text("tamrel")},
      {"SNMPVersion", Of(&S::SnmpVersion), text("1"), kOptional},
      {"SNMPUser", Of(&S::SnmpUser), text(""), kOptional},
      {"SNMPAuthProtocol", Of(&S::SnmpAuthProtocol), text(""), kOptional},
      {"SNMPPrivProtocol", Of(&S::SnmpPrivProtocol), text(""), kOptional},
      {"SNMPAuthKey", Of(&S::SnmpAuthKey), text(""), kOptional},
      {"SNMPPrivKey", Of(&S::SnmpPrivKey), text(""), kOptional},
      {"OID1", OfChannel(1, &C::Oid), text("1.3.6.1.2.1.2.2.1.10.2")},
      {"OID1Cx", OfChannel(1, &C::TextX), i32(2)},
      {"OID1Cy", OfChannel(1, &C::TextY), i32(0)},
      {"OID1color", OfChannel(1, &C::Color), color(0x008000)},
      {"OID1full", OfChannel(1, &C::FullBars), true},
      {"OID1MaxColor", OfChannel(1, &C::MaxColor), color(0x00A000)},
      {"OID1Grad", OfChannel(1, &C::Gradient), false, kKeep},
      {"OID2", OfChannel(2, &C::Oid), text("1.3.6.1.2.1.2.2.1.16.2")},
      {"OID2Cx", OfChannel(2, &C::TextX), i32(50)},
      {"OID2Cy", OfChannel(2, &C::TextY), i32(0)},
      {"OID2Color", OfChannel(2, &C::Color), color(0xFF0000)},
      {"OID2Full", OfChannel(2, &C::FullBars), false},
      {"OID2MaxColor", OfChannel(2, &C::MaxColor), color(0xFF4040)},
      {"OID2Grad", OfChannel(2, &C::Gradient), false, kKeep},
      {"GraphTX", Of(&S::GraphTopX), i32(0)},
      {"GraphTY", Of(&S::GraphTopY), i32(12)},
      {"GraphBX", Of(&S::GraphBottomX), i32(400)},
      {"GraphBY", Of(&S::GraphBottomY), i32(147)},
      {"Hticks", Of(&S::HTicks), true},
      {"Vticks", Of(&S::VTicks), true},
      {"TickFreq", Of(&S::TickFreq), i32(1)},
      {"Refresh", Of(&S::Refresh), i32(1)},
      {"GLabel", Of(&S::GraphLabel), true},
      {"MaxBytes", Of(&S::MaxBytes), i32(64000)},
      {"TxtSize", Of(&S::TextSize), i32(7)},
      {"SaveGif", Of(&S::SaveGif), true},
      {"SaveGifFreq", Of(&S::SaveGifFreq), i32(0)},
      {"OIDTotal", Of(&S::ShowTotal), true},
      {"OIDTCx", Of(&S::TotalX), i32(100)},
      {"OIDTCy", Of(&S::TotalY), i32(0)},
  };
  for (int k = 1; k <= 5; ++k) {
    const string txt = "Txt" + std::to_string(k);
    const OverlayDefaults& d = kOverlayDefaults[k - 1];
    t.push_back({txt, OfOverlay(k, &O::Format), text(d.format)});
    t.push_back({txt + "OID", OfOverlay(k, &O::Oid), text(d.oid)});
    t.push_back({txt + "Format", OfOverlay(k, &O::Kind), text(d.kind)});
    t.push_back({txt + "Enable", OfOverlay(k, &O::Enabled), true});
    t.push_back({txt + "Cx", OfOverlay(k, &O::X), i32(d.x)});
    t.push_back({txt + "Cy", OfOverlay(k, &O::Y), i32(d.y)});
  }
  t.insert(t.end(), {
                        {"WindowTop", Of(&S::WindowTop), i32(kDefaultWindowTop)},
                        {"WindowLeft", Of(&S::WindowLeft), i32(kDefaultWindowLeft)},
                        {"WindowState", Of(&S::WindowState), i32(1)},
                        {"WindowBorderStyle", Of(&S::WindowBorderStyle), i32(1)},
                        {"WindowLockDrag", Of(&S::LockDrag), false},
                        {"WindowStayOnTop", Of(&S::StayOnTop), false},
                    });
  return t;
}

}  // namespace

const void* Setting::FieldAddress(const TPlovexSettings& s) const {
  return std::visit([&s](const auto& f) -> const void* { return &f(s); }, field);
}

void Setting::CopyField(const TPlovexSettings& from, TPlovexSettings& to) const {
  std::visit([&](const auto& f) { f(to) = f(from); }, field);
}

void Setting::SetDefault(TPlovexSettings& s) const {
  std::visit(
      [&](const auto& f) {
        using T = std::decay_t<decltype(f(s))>;
        f(s) = std::get<T>(default_value);
      },
      field);
}

std::span<const Setting> SettingsSchema() {
  static const std::vector<Setting> schema = BuildSchema();
  return schema;
}

const Setting* FindSetting(std::string_view name) {
  for (const Setting& setting : SettingsSchema()) {
    if (setting.name == name) return &setting;
  }
  return nullptr;
}

}  // namespace plovex
