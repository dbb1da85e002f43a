#include "settings/panel/panel_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace plovex {
namespace {

TEST(TimerPeriodMs, SecondsToMillisecondsWithoutWrapping) {
  EXPECT_EQ(TimerPeriodMs(1), 1000);
  EXPECT_EQ(TimerPeriodMs(5000), 5000000);
  EXPECT_EQ(TimerPeriodMs(0), 0);
  EXPECT_EQ(TimerPeriodMs(-3), 0);
  EXPECT_EQ(TimerPeriodMs(std::numeric_limits<std::int32_t>::max()),
            std::numeric_limits<int>::max());
  EXPECT_EQ(TimerPeriodMs(2147483), 2147483000);
  EXPECT_EQ(TimerPeriodMs(2147484), std::numeric_limits<int>::max());
}

TEST(UpDownRange, StepsStopAtTheEndsAndPositionsAreClamped) {
  const UpDownRange r{1, 72};
  EXPECT_EQ(r.Step(7, +1), 8);
  EXPECT_EQ(r.Step(72, +1), 72);
  EXPECT_EQ(r.Step(1, -1), 1);
  EXPECT_EQ(r.Clamp(100), 72);
  EXPECT_EQ(r.Clamp(-5), 1);
  EXPECT_EQ(r.Clamp(std::int64_t{1} << 40), 72);
  EXPECT_TRUE(r.Contains(1));
  EXPECT_TRUE(r.Contains(72));
  EXPECT_FALSE(r.Contains(0));
  EXPECT_FALSE(r.Contains(73));
}

TEST(PanelNodes, PreOrderWithParentsBeforeChildren) {
  ASSERT_EQ(kPanelNodes.size(), 18u);
  for (std::size_t i = 0; i < kPanelNodes.size(); ++i) {
    const int parent = kPanelNodes[i].parent;
    EXPECT_LT(parent, static_cast<int>(i)) << kPanelNodes[i].text;
    // Pre-order: a child follows its parent or a sibling under the same parent.
    if (parent >= 0 && i > 0) {
      const int prev = static_cast<int>(i) - 1;
      EXPECT_TRUE(prev == parent || kPanelNodes[prev].parent == parent) << kPanelNodes[i].text;
    }
  }
  EXPECT_STREQ(kPanelNodes[2].page_caption, "SNMP");
  EXPECT_EQ(kPanelNodes[2].parent, 1);
  EXPECT_STREQ(kPanelNodes[5].page_caption, "GraphOID2");
  EXPECT_STREQ(kPanelNodes[8].page_caption, "GIF");
  EXPECT_STREQ(kPanelNodes[15].page_caption, "Reset");
  EXPECT_EQ(kPanelNodes[15].parent, -1);
  EXPECT_STREQ(kPanelNodes[16].page_caption, "Usage");
}

}  // namespace
}  // namespace plovex
