#include "core/settings_schema.h"

#include <set>

#include <gtest/gtest.h>

namespace plovex {
namespace {

TEST(SettingsSchema, EveryRowHasOneNameOneFieldAndADefaultOfItsType) {
  std::set<std::string> names;
  std::set<const void*> fields;
  TPlovexSettings s;
  for (const Setting& row : SettingsSchema()) {
    EXPECT_TRUE(names.insert(row.name).second) << "named twice: " << row.name;
    EXPECT_TRUE(fields.insert(row.FieldAddress(s)).second) << "field held twice: " << row.name;
    EXPECT_EQ(row.field.index(), row.default_value.index()) << row.name;
    EXPECT_EQ(FindSetting(row.name), &row);
  }
  // Every value of the current key but "VersionNum": the Windows version's 68,
  // the six of SNMP versions 2c and 3, the picture folder, "Interface" and
  // the billing period's two, the notifications' four and the metrics' address.
  EXPECT_EQ(names.size(), 83u);
  EXPECT_EQ(FindSetting("OID1Last"), nullptr) << "the totals are stored apart";
  EXPECT_EQ(FindSetting("ip"), nullptr) << "names are spelt exactly";
}

TEST(SettingsSchema, TheDefaultsAreTheFirstStartsAndTouchNothingElse) {
  TPlovexSettings s;
  s.Oid1.Value = 9;
  s.Oid2.Total = 4;
  ApplyDefaultSettings(s);
  TPlovexSettings expected;
  expected.Oid1.Value = 9;
  expected.Oid2.Total = 4;
  expected.Ip = "192.168.1.1";
  expected.Community = "tamrel";
  expected.SnmpVersion = "1";
  expected.Oid1 = {.Value = 9,
                   .Color = 0x008000,
                   .MaxColor = 0x00A000,
                   .FullBars = true,
                   .TextX = 2,
                   .Oid = "1.3.6.1.2.1.2.2.1.10.2"};
  expected.Oid2 = {.Total = 4,
                   .Color = 0xFF0000,
                   .MaxColor = 0xFF4040,
                   .TextX = 50,
                   .Oid = "1.3.6.1.2.1.2.2.1.16.2"};
  expected.GraphTopY = 12;
  expected.GraphBottomX = 400;
  expected.GraphBottomY = 147;
  expected.HTicks = expected.VTicks = expected.GraphLabel = true;
  expected.TickFreq = expected.Refresh = 1;
  expected.MaxBytes = 64000;
  expected.TextSize = 7;
  expected.SaveGif = true;
  expected.ShowTotal = true;
  expected.TotalX = 100;
  expected.Texts[1] = {true, "System : %1", "1.3.6.1.2.1.1.1.0", "String", 0, 148};
  expected.Texts[2] = {true, "Uptime : %2", "1.3.6.1.2.1.1.3.0", "Time", 260, 0};
  expected.Texts[3] = {true, "Name : %3", "1.3.6.1.2.1.1.5.0", "String", 100, 148};
  expected.Texts[4] = {true, "WAN IP : %4", "1.3.6.1.2.1.4.20.1.1", "NextAdp", 290, 148};
  expected.Texts[5] = {true, "Loc. : %5", "1.3.6.1.2.1.1.6.0", "String", 170, 148};
  expected.WindowTop = 105;
  expected.WindowLeft = 192;
  expected.WindowState = expected.WindowBorderStyle = 1;
  expected.UsageResetDay = 1;
  expected.UsageCap = "0";
  expected.NotifyDownPolls = 3;
  expected.NotifyRateSeconds = 30;
  EXPECT_TRUE(s == expected);
}

TEST(SettingsSchema, CopyFieldTakesOneFieldOnly) {
  TPlovexSettings from, to;
  ApplyDefaultSettings(from);
  const Setting* cx = FindSetting("Txt3Cx");
  ASSERT_NE(cx, nullptr);
  cx->CopyField(from, to);
  EXPECT_EQ(to.Texts[3].X, 100);
  TPlovexSettings only_that;
  only_that.Texts[3].X = 100;
  EXPECT_TRUE(to == only_that);
}

TEST(SettingsRecords, EqualityNoticesEveryKindOfMember) {
  TPlovexSettings a, b;
  EXPECT_TRUE(a == b);
  b.Texts[5].Kind = "Time";
  EXPECT_FALSE(a == b);
  b = a;
  b.TrayBitmap.Fill(kWhite);
  EXPECT_FALSE(a == b) << "the tray miniature is part of the record";
  b = a;
  b.SnmpMemory.Refused.push_back("1.3");
  EXPECT_FALSE(a == b);
  OidChannel c, d;
  d.NewBaseline = true;
  EXPECT_FALSE(c == d);
}

}  // namespace
}  // namespace plovex
