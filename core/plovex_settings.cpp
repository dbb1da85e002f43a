#include "core/plovex_settings.h"

namespace plovex {

Surface NewTrayBitmap() {
  Surface tray(kTrayBitmapSize, kTrayBitmapSize, kWhite);
  tray.FillRect(0, 0, kTrayBitmapSize, 1, kGrey);
  tray.FillRect(0, kTrayBitmapSize - 1, kTrayBitmapSize, kTrayBitmapSize, kGrey);
  return tray;
}

namespace {

void SetChannel(OidChannel& c, const char* oid, Color color, Color max_color, bool full_bars,
                std::int32_t text_x) {
  c.Oid = oid;
  c.Color = color;
  c.MaxColor = max_color;
  c.FullBars = full_bars;
  c.Gradient = false;
  c.TextX = text_x;
  c.TextY = 0;
}

void SetOverlay(TextOverlay& t, const char* format, const char* oid, const char* kind,
                std::int32_t x, std::int32_t y) {
  t.Enabled = true;
  t.Format = format;
  t.Oid = oid;
  t.Kind = kind;
  t.X = x;
  t.Y = y;
}

}  // namespace

void ApplyDefaultSettings(TPlovexSettings& s) {
  s.Ip = "192.168.1.1";
  s.Community = "tamrel";
  s.SnmpVersion = "1";
  s.SnmpUser.clear();
  s.SnmpAuthProtocol.clear();
  s.SnmpPrivProtocol.clear();
  s.SnmpAuthKey.clear();
  s.SnmpPrivKey.clear();
  SetChannel(s.Oid1, "1.3.6.1.2.1.2.2.1.10.2", 0x008000, 0x00A000, true, 2);
  SetChannel(s.Oid2, "1.3.6.1.2.1.2.2.1.16.2", 0xFF0000, 0xFF4040, false, 50);
  s.GraphTopX = 0;
  s.GraphTopY = 12;
  s.GraphBottomX = 400;
  s.GraphBottomY = 147;
  s.HTicks = true;
  s.VTicks = true;
  s.TickFreq = 1;
  s.Refresh = 1;
  s.GraphLabel = true;
  s.MaxBytes = 64000;
  s.TextSize = 7;
  s.SaveGif = true;
  s.SaveGifFreq = 0;
  s.ShowTotal = true;
  s.TotalX = 100;
  s.TotalY = 0;
  SetOverlay(s.Texts[1], "System : %1", "1.3.6.1.2.1.1.1.0", "String", 0, 148);
  SetOverlay(s.Texts[2], "Uptime : %2", "1.3.6.1.2.1.1.3.0", "Time", 260, 0);
  SetOverlay(s.Texts[3], "Name : %3", "1.3.6.1.2.1.1.5.0", "String", 100, 148);
  SetOverlay(s.Texts[4], "WAN IP : %4", "1.3.6.1.2.1.4.20.1.1", "NextAdp", 290, 148);
  SetOverlay(s.Texts[5], "Loc. : %5", "1.3.6.1.2.1.1.6.0", "String", 170, 148);
  s.WindowTop = kDefaultWindowTop;
  s.WindowLeft = kDefaultWindowLeft;
  s.WindowState = 1;
  s.WindowBorderStyle = 1;
  s.LockDrag = false;
  s.StayOnTop = false;
}

}  // namespace plovex
