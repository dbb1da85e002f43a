#include "core/plovex_settings.h"

#include <gtest/gtest.h>

#include "core/plovex_error.h"

namespace plovex {
namespace {

TEST(PlovexSettings, FreshRecordRestartsAndHasGreyTrayRows) {
  TPlovexSettings s;
  EXPECT_TRUE(s.Restart);
  EXPECT_FALSE(s.SnmpFailed);
  EXPECT_EQ(s.Oid1.Value, 0);
  EXPECT_EQ(s.Ip, "");
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(s.TrayBitmap.Pixel(x, 0), kGrey);
    EXPECT_EQ(s.TrayBitmap.Pixel(x, 15), kGrey);
    for (int y = 1; y < 15; ++y) EXPECT_EQ(s.TrayBitmap.Pixel(x, y), kWhite);
  }
}

TEST(PlovexSettings, DefaultsLeaveRunTimeStateAndTotalsAlone) {
  TPlovexSettings s;
  s.Oid1.Total = 77;
  s.Oid2.Value = 5;
  s.Restart = false;
  ApplyDefaultSettings(s);
  EXPECT_EQ(s.Oid1.Total, 77);
  EXPECT_EQ(s.Oid2.Value, 5);
  EXPECT_FALSE(s.Restart);
  EXPECT_EQ(s.Ip, "192.168.1.1");
  EXPECT_EQ(s.Oid2.Color, 0xFF0000u);
  EXPECT_EQ(s.Oid2.MaxColor, 0xFF4040u);
  EXPECT_FALSE(s.Oid2.FullBars);
  EXPECT_EQ(s.Texts[4].Kind, "NextAdp");
  EXPECT_EQ(s.Texts[2].X, 260);
  EXPECT_EQ(s.GraphBottomY - s.GraphTopY, 135);
  EXPECT_EQ(s.WindowTop, 105);
  EXPECT_EQ(s.WindowLeft, 192);
}

TEST(DisplayMessage, AppendsAFullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(DisplayMessage("Stream write error"), "Stream write error.");
  EXPECT_EQ(DisplayMessage("'abc' is not a valid integer value"),
            "'abc' is not a valid integer value.");
  EXPECT_EQ(DisplayMessage("Failed to get data for 'OID1Cx'"), "Failed to get data for 'OID1Cx'");
  EXPECT_EQ(DisplayMessage("ends with a dot."), "ends with a dot.");
  EXPECT_EQ(DisplayMessage("ends with a dash-"), "ends with a dash-");
  EXPECT_EQ(DisplayMessage(""), "");
}

}  // namespace
}  // namespace plovex
