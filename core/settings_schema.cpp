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

// The rows, in the order SaveSettings writes them, and their named handles.
struct Schema {
  std::vector<Setting> rows;
  SchemaRowHandles named;
};

// Appends rows and hands back their handles, typed by the field.
class RowAdder {
 public:
  explicit RowAdder(std::vector<Setting>& rows) : rows_(rows) {}
  template <typename T, typename D>
  void operator()(SettingRow<T>& handle, std::string name, SettingField<T> field, D default_value,
                  WhenAbsent when_absent = WhenAbsent::kFail) {
    handle = SettingRow<T>(rows_.size());
    rows_.push_back({std::move(name), field, SettingValue(T(default_value)), when_absent});
  }

 private:
  std::vector<Setting>& rows_;
};

Schema BuildSchema() {
  using C = OidChannel;
  using O = TextOverlay;
  using std::string;
  constexpr WhenAbsent kKeep = WhenAbsent::kKeep;
  // Added after the values of the Windows version: a hive without them is
  // version 1 with a community, as every hive before them was.
  constexpr WhenAbsent kOptional = WhenAbsent::kUseDefault;
  Schema schema;
  SchemaRowHandles& r = schema.named;
  RowAdder add(schema.rows);
  add(r.Ip, "IP", Of(&S::Ip), "192.168.1.1");
  add(r.Community, "Community", Of(&S::Community), "tamrel");
  add(r.SnmpVersion, "SNMPVersion", Of(&S::SnmpVersion), "1", kOptional);
  add(r.SnmpUser, "SNMPUser", Of(&S::SnmpUser), "", kOptional);
  add(r.SnmpAuthProtocol, "SNMPAuthProtocol", Of(&S::SnmpAuthProtocol), "", kOptional);
  add(r.SnmpPrivProtocol, "SNMPPrivProtocol", Of(&S::SnmpPrivProtocol), "", kOptional);
  add(r.SnmpAuthKey, "SNMPAuthKey", Of(&S::SnmpAuthKey), "", kOptional);
  add(r.SnmpPrivKey, "SNMPPrivKey", Of(&S::SnmpPrivKey), "", kOptional);
  struct ChannelDefaults {
    const char* oid;
    std::int32_t x;
    Color color, max_color;
    bool full;
    const char* color_name;  // the value names differ in letter case
    const char* full_name;
  };
  constexpr ChannelDefaults kChannels[2] = {
      {"1.3.6.1.2.1.2.2.1.10.2", 2, 0x008000, 0x00A000, true, "color", "full"},
      {"1.3.6.1.2.1.2.2.1.16.2", 50, 0xFF0000, 0xFF4040, false, "Color", "Full"},
  };
  for (int k = 1; k <= 2; ++k) {
    const ChannelDefaults& d = kChannels[k - 1];
    ChannelRows& c = r.Channels[k];
    const string n = "OID" + std::to_string(k);
    add(c.Oid, n, OfChannel(k, &C::Oid), d.oid);
    add(c.TextX, n + "Cx", OfChannel(k, &C::TextX), d.x);
    add(c.TextY, n + "Cy", OfChannel(k, &C::TextY), 0);
    add(c.Color, n + d.color_name, OfChannel(k, &C::Color), d.color);
    add(c.FullBars, n + d.full_name, OfChannel(k, &C::FullBars), d.full);
    add(c.MaxColor, n + "MaxColor", OfChannel(k, &C::MaxColor), d.max_color);
    add(c.Gradient, n + "Grad", OfChannel(k, &C::Gradient), false, kKeep);
  }
  add(r.Interface, "Interface", Of(&S::Interface), "", kOptional);
  add(r.GraphTopX, "GraphTX", Of(&S::GraphTopX), 0);
  add(r.GraphTopY, "GraphTY", Of(&S::GraphTopY), 12);
  add(r.GraphBottomX, "GraphBX", Of(&S::GraphBottomX), 400);
  add(r.GraphBottomY, "GraphBY", Of(&S::GraphBottomY), 147);
  add(r.HTicks, "Hticks", Of(&S::HTicks), true);
  add(r.VTicks, "Vticks", Of(&S::VTicks), true);
  add(r.TickFreq, "TickFreq", Of(&S::TickFreq), 1);
  add(r.Refresh, "Refresh", Of(&S::Refresh), 1);
  add(r.GraphLabel, "GLabel", Of(&S::GraphLabel), true);
  add(r.MaxBytes, "MaxBytes", Of(&S::MaxBytes), 64000);
  add(r.TextSize, "TxtSize", Of(&S::TextSize), 7);
  add(r.SaveGif, "SaveGif", Of(&S::SaveGif), true);
  add(r.SaveGifFreq, "SaveGifFreq", Of(&S::SaveGifFreq), 0);
  add(r.GifFolder, "GifFolder", Of(&S::GifFolder), "", kOptional);
  add(r.ShowTotal, "OIDTotal", Of(&S::ShowTotal), true);
  add(r.TotalX, "OIDTCx", Of(&S::TotalX), 100);
  add(r.TotalY, "OIDTCy", Of(&S::TotalY), 0);
  for (int k = 1; k <= 5; ++k) {
    const string txt = "Txt" + std::to_string(k);
    const OverlayDefaults& d = kOverlayDefaults[k - 1];
    OverlayRows& o = r.Texts[k];
    add(o.Format, txt, OfOverlay(k, &O::Format), d.format);
    add(o.Oid, txt + "OID", OfOverlay(k, &O::Oid), d.oid);
    add(o.Kind, txt + "Format", OfOverlay(k, &O::Kind), d.kind);
    add(o.Enabled, txt + "Enable", OfOverlay(k, &O::Enabled), true);
    add(o.X, txt + "Cx", OfOverlay(k, &O::X), d.x);
    add(o.Y, txt + "Cy", OfOverlay(k, &O::Y), d.y);
  }
  add(r.WindowTop, "WindowTop", Of(&S::WindowTop), kDefaultWindowTop);
  add(r.WindowLeft, "WindowLeft", Of(&S::WindowLeft), kDefaultWindowLeft);
  add(r.WindowState, "WindowState", Of(&S::WindowState), 1);
  add(r.WindowBorderStyle, "WindowBorderStyle", Of(&S::WindowBorderStyle), 1);
  add(r.LockDrag, "WindowLockDrag", Of(&S::LockDrag), false);
  add(r.StayOnTop, "WindowStayOnTop", Of(&S::StayOnTop), false);
  add(r.UsageResetDay, "UsageResetDay", Of(&S::UsageResetDay), 1, kOptional);
  add(r.UsageCap, "UsageCap", Of(&S::UsageCap), "0", kOptional);
  add(r.NotifyDownPolls, "NotifyDownPolls", Of(&S::NotifyDownPolls), 3, kOptional);
  add(r.NotifyRateAbove, "NotifyRateAbove", Of(&S::NotifyRateAbove), 0, kOptional);
  add(r.NotifyRateSeconds, "NotifyRateSeconds", Of(&S::NotifyRateSeconds), 30, kOptional);
  add(r.NotifyCap, "NotifyCap", Of(&S::NotifyCap), false, kOptional);
  add(r.MetricsListen, "MetricsListen", Of(&S::MetricsListen), "", kOptional);
  return schema;
}

const Schema& TheSchema() {
  static const Schema schema = BuildSchema();
  return schema;
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

std::span<const Setting> SettingsSchema() { return TheSchema().rows; }

const SchemaRowHandles& SchemaRows() { return TheSchema().named; }

const Setting* FindSetting(std::string_view name) {
  for (const Setting& setting : SettingsSchema()) {
    if (setting.name == name) return &setting;
  }
  return nullptr;
}

}  // namespace plovex
