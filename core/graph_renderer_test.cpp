#include "core/graph_renderer.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "core/testing/tick_test_doubles.h"
#include "core/traffic_accounting.h"
#include "image/text_painter.h"

namespace plovex {
namespace {

constexpr int T = 12, B = 147, R = 400, H = 135;
constexpr Color kGreen = 0x008000, kBlue = 0xFF0000;

int TextWidthAt7(const std::string& text) {
  TextPainter p(TickRig::Arial());
  p.SetSize(7);
  return p.TextWidth(text);
}

// The graph's left edge with the default scale strip ("64kB" + 3).
int DefaultL() { return TextWidthAt7("64kB") + 3; }

bool HasColorIn(const Surface& s, Color c, int left, int top, int right, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (s.Pixel(x, y) == c) return true;
  return false;
}

int CountColor(const Surface& s, Color c) {
  int n = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) n += s.Pixel(x, y) == c;
  return n;
}

// A rig whose texts and ticks are out of the way unless a test wants them.
struct QuietRig : TickRig {
  QuietRig() {
    for (auto& t : s.Texts) t.Enabled = false;
    s.ShowTotal = false;
    s.VTicks = false;
    s.HTicks = false;
    s.Oid1.TextY = 200;  // rate labels below the picture
    s.Oid2.TextY = 200;
    clock.SetLocal(10, 3, 30);
  }
  // Start plus one normal tick per reading pair (the first pair is the baseline).
  void Run(std::vector<ScriptedPoll::Reading> readings) {
    poll.script = std::move(readings);
    cycle.Start();
    for (std::size_t i = 1; i < poll.script.size(); ++i) cycle.Tick();
  }
};

TEST(ScaleStrip, RestartTickDrawsFourGreyLabelsAndTheAxis) {
  QuietRig rig;
  rig.Run({{0, 0}});
  const int L = DefaultL();
  const int label_h = 11;
  for (int y : {12, 45, 78, 111})
    EXPECT_TRUE(HasColorIn(rig.picture, kGrey, 1, y, L - 1, y + label_h)) << y;
  // Nothing grey between the labels, left of the axis.
  EXPECT_FALSE(HasColorIn(rig.picture, kGrey, 0, 23, L - 1, 45));
  EXPECT_FALSE(HasColorIn(rig.picture, kGrey, 0, 122, L - 1, 160));
  // The labels start at x = 1: column 0 stays white.
  EXPECT_FALSE(HasColorIn(rig.picture, kGrey, 0, 0, 1, 160));
  // The axis: column L - 1, rows T to B - 1.
  for (int y = T; y < B; ++y) EXPECT_EQ(rig.picture.Pixel(L - 1, y), kGrey) << y;
  EXPECT_NE(rig.picture.Pixel(L - 1, B), kGrey);
  EXPECT_NE(rig.picture.Pixel(L - 1, T - 1), kGrey);
  // The labels' texts: 64kB wide enough to move L, the others narrower or equal.
  EXPECT_LE(TextWidthAt7("16kB"), TextWidthAt7("64kB"));
}

TEST(ScaleStrip, NormalTicksDrawOnlyTheAxis) {
  QuietRig rig;
  rig.Run({{0, 0}});
  rig.picture.Fill(kWhite);
  rig.cycle.Tick();
  const int L = DefaultL();
  EXPECT_FALSE(HasColorIn(rig.picture, kGrey, 0, 0, L - 1, 160));
  EXPECT_EQ(rig.picture.Pixel(L - 1, 100), kGrey);
}

TEST(ScaleStrip, OffLeavesTheGraphAtGraphTopX) {
  QuietRig rig;
  rig.s.GraphLabel = false;
  rig.Run({{0, 0}, {64000, 0}});
  EXPECT_EQ(rig.picture.Pixel(0, B - 1), kGreen);
  EXPECT_EQ(CountColor(rig.picture, kGrey), 0);
}

TEST(Scroll, MovesTheGraphAreaOnlyAndDropsTheLastColumn) {
  QuietRig rig;
  rig.Run({{0, 0}});
  const int L = DefaultL();
  rig.picture.SetPixel(L + 5, 50, 0x0000FF);
  rig.picture.SetPixel(R - 1, 60, 0x0000FF);
  rig.picture.SetPixel(L + 5, B, 0x00FFFF);  // row B does not scroll
  rig.picture.SetPixel(L + 5, T - 1, 0x00FFFF);
  rig.cycle.Tick();
  EXPECT_EQ(rig.picture.Pixel(L + 6, 50), 0x0000FFu);
  EXPECT_EQ(rig.picture.Pixel(L + 5, 50), kWhite);
  EXPECT_EQ(CountColor(rig.picture, 0x0000FF), 1);  // column R - 1 dropped
  EXPECT_EQ(rig.picture.Pixel(L + 5, B), 0x00FFFFu);
  EXPECT_EQ(rig.picture.Pixel(L + 5, T - 1), 0x00FFFFu);
}

TEST(TimeTicks, OneMinuteColumnsForTickFreq1) {
  QuietRig rig;
  rig.s.VTicks = true;
  rig.clock.SetLocal(10, 3, 17);
  rig.Run({{0, 0}});
  const int L = DefaultL();
  // Restart tick: a line where x - L = second (mod 60); the new column L is white.
  for (int x = L; x < R; ++x) {
    const bool tick = (x - 17 - L) % 60 == 0;
    EXPECT_EQ(rig.picture.Pixel(x, 80), tick ? kSilver : kWhite) << x;
  }
  EXPECT_EQ(rig.picture.Pixel(L + 17, T), kSilver);
  EXPECT_EQ(rig.picture.Pixel(L + 17, B), kWhite);
  // Normal ticks: a silver new column exactly at second 0.
  rig.clock.SetLocal(10, 4, 0);
  rig.cycle.Tick();
  EXPECT_EQ(rig.picture.Pixel(L, 80), kSilver);
  rig.clock.SetLocal(10, 4, 1);
  rig.cycle.Tick();
  EXPECT_EQ(rig.picture.Pixel(L, 80), kWhite);
  EXPECT_EQ(rig.picture.Pixel(L + 1, 80), kSilver);
}

TEST(TimeTicks, EveryTickFreqMinutesForTickFreq5) {
  QuietRig rig;
  rig.s.VTicks = true;
  rig.s.TickFreq = 5;
  rig.clock.SetLocal(10, 12, 40);
  rig.Run({{0, 0}});
  const int L = DefaultL();
  for (int x = L + 1; x < R; ++x)
    EXPECT_EQ(rig.picture.Pixel(x, 80), (x - 12 - L) % 5 == 0 ? kSilver : kWhite) << x;
  // Every tick of minute 15 draws a silver column, minute 16 a white one.
  rig.clock.SetLocal(10, 15, 3);
  rig.cycle.Tick();
  rig.clock.SetLocal(10, 15, 4);
  rig.cycle.Tick();
  rig.clock.SetLocal(10, 16, 0);
  rig.cycle.Tick();
  EXPECT_EQ(rig.picture.Pixel(L, 80), kWhite);
  EXPECT_EQ(rig.picture.Pixel(L + 1, 80), kSilver);
  EXPECT_EQ(rig.picture.Pixel(L + 2, 80), kSilver);
}

TEST(LevelMarks, FullLinesOnRestartThenOnePixelPerTick) {
  QuietRig rig;
  rig.s.HTicks = true;
  rig.Run({{std::nullopt, std::nullopt}});
  const int L = DefaultL();
  const int levels[] = {12, 45, 78, 111, 147};
  for (int y : levels) {
    EXPECT_EQ(rig.picture.Pixel(L, y), kSilver) << y;
    EXPECT_EQ(rig.picture.Pixel(R - 1, y), kSilver) << y;
    EXPECT_EQ(rig.picture.Pixel(L - 2, y), kWhite) << y;  // left of the axis
  }
  EXPECT_EQ(rig.picture.Pixel(L + 3, 46), kWhite);
  rig.picture.Fill(kWhite);
  rig.cycle.Tick();
  for (int y : levels) {
    EXPECT_EQ(rig.picture.Pixel(L, y), kSilver) << y;
    EXPECT_EQ(rig.picture.Pixel(L + 1, y), kWhite) << y;
  }
  EXPECT_EQ(rig.s.TrayBitmap.Pixel(0, 0), kGrey);
  EXPECT_EQ(rig.s.TrayBitmap.Pixel(0, 15), kGrey);
}

TEST(LevelMarks, WithoutThemTheTrayRowsScrollOutAfter16Ticks) {
  QuietRig rig;
  rig.Run({{0, 0}});
  EXPECT_EQ(rig.s.TrayBitmap.Pixel(15, 0), kGrey);
  for (int i = 0; i < 15; ++i) rig.cycle.Tick();
  EXPECT_EQ(CountColor(rig.s.TrayBitmap, kGrey), 0);
}

TEST(FullBars, HeightZeroDrawsNothingAndFullHeightReachesTPlus1) {
  QuietRig rig;
  rig.s.Oid2.Oid.clear();
  rig.Run({{1000, std::nullopt}, {1000, std::nullopt}});
  const int L = DefaultL();
  EXPECT_FALSE(HasColorIn(rig.picture, kGreen, L, 0, L + 1, 160));
  rig.poll.script = {{64000 + 1000, std::nullopt}};
  rig.cycle.Tick();  // rate 64000: h = H
  for (int y = T + 1; y <= B; ++y) EXPECT_EQ(rig.picture.Pixel(L, y), kGreen) << y;
  EXPECT_EQ(rig.picture.Pixel(L, T), kWhite);
  EXPECT_EQ(rig.s.LastBarHeight[1], H);
  for (int y = 1; y <= 15; ++y) EXPECT_EQ(rig.s.TrayBitmap.Pixel(0, y), kGreen) << y;
}

TEST(FullBars, OverScaleSwitchesToMaxColorAndAFullTrayColumn) {
  QuietRig rig;
  rig.Run({{0, std::nullopt}, {64474, std::nullopt}});  // h = round(136.0) = H + 1
  const int L = DefaultL();
  for (int y = T + 1; y <= B; ++y) EXPECT_EQ(rig.picture.Pixel(L, y), 0x00A000u) << y;
  EXPECT_EQ(rig.picture.Pixel(L, T), kWhite);
  for (int y = 0; y < 16; ++y) EXPECT_EQ(rig.s.TrayBitmap.Pixel(0, y), 0x00A000u) << y;
  EXPECT_EQ(rig.s.LastBarHeight[1], H);
  EXPECT_EQ(rig.s.LastTrayHeight[1], 16);
}

TEST(FullBars, HalfScaleRoundsToEvenInGraphAndTray) {
  QuietRig rig;
  rig.Run({{0, std::nullopt}, {32000, std::nullopt}});
  const int L = DefaultL();
  EXPECT_EQ(rig.picture.Pixel(L, B - 67), kGreen);  // h = 68: rows B .. B - 67
  EXPECT_EQ(rig.picture.Pixel(L, B - 68), kWhite);
  EXPECT_EQ(rig.s.TrayBitmap.Pixel(0, 8), kGreen);  // t = 8: rows 15 .. 8
  EXPECT_EQ(rig.s.TrayBitmap.Pixel(0, 7), kWhite);
}

TEST(LineMode, JoinsThePreviousSampleOverChannel1Bars) {
  QuietRig rig;
  // Channel 2 (line mode by default) goes from h = 34 to h = 101 (rates 16000, 50400 + ...).
  rig.Run({{0, 0}, {32000, 16000}, {64000, 16000 + 50500}});
  const int L = DefaultL();
  const int h_prev = 34, h_new = static_cast<int>(ScaledHeight(50500, 64000, H));
  EXPECT_EQ(rig.s.LastBarHeight[2], h_new);
  // The join starts at the previous sample (now at L + 1) and ends before the new one.
  EXPECT_EQ(rig.picture.Pixel(L + 1, B - h_prev), kBlue);
  EXPECT_EQ(rig.picture.Pixel(L, B - h_new + 1), kBlue);
  EXPECT_NE(rig.picture.Pixel(L, B - h_new), kBlue);
  // It covers channel 1's bar where they cross; the bar shows elsewhere.
  EXPECT_EQ(rig.picture.Pixel(L, B), kGreen);
  EXPECT_EQ(rig.picture.Pixel(L + 1, B - 5), kGreen);
  // The tray joins too: from 15 - 4 at column 1 toward 15 - 12 at column 0.
  EXPECT_EQ(rig.s.TrayBitmap.Pixel(1, 11), kBlue);
}

TEST(LineMode, JoinOfAnyLengthMatchesTheSurfaceLine) {
  // The renderer draws the join as two runs; they must be the surface's line.
  for (int n = -40; n <= 40; ++n) {
    QuietRig rig;
    rig.s.Oid1.FullBars = false;
    rig.s.GraphBottomY = 150;
    rig.s.GraphTopY = 60;
    rig.s.MaxBytes = 90;
    rig.s.GraphLabel = false;
    // h = 45 (the line's first sample), then h = 45 + n joined to it.
    rig.Run({{0, std::nullopt}, {45, std::nullopt}, {90 + n, std::nullopt}});
    Surface expected(kPictureWidth, kPictureHeight);
    expected.SetPenColor(kGreen);
    const int L = 0;
    expected.Line(L + 1, 150 - 45, L, 150 - (45 + n));
    for (int y = 0; y < kPictureHeight; ++y)
      for (int x = L; x < L + 2; ++x)
        ASSERT_EQ(rig.picture.Pixel(x, y) == kGreen, expected.Pixel(x, y) == kGreen)
            << "n=" << n << " at " << x << "," << y;
  }
}

TEST(Gradient, InterpolatesComponentsByHeight) {
  EXPECT_EQ(GraphRenderer::GradientColor(0x008000, 0x00A000, 67, 135), 0x008F00u);
  EXPECT_EQ(GraphRenderer::GradientColor(0x008000, 0x00A000, 0, 135), 0x008000u);
  EXPECT_EQ(GraphRenderer::GradientColor(0x008000, 0x00A000, 135, 135), 0x00A000u);
  // Components fall as well as rise, each on its own byte.
  EXPECT_EQ(GraphRenderer::GradientColor(0xFF0000, 0x0000FF, 135, 135), 0x0000FFu);
  EXPECT_EQ(GraphRenderer::GradientColor(0xFF0000, 0x0000FF, 1, 135), 0xFE0001u);
  EXPECT_EQ(GraphRenderer::GradientColor(0x123456, 0xFFFFFF, 0, 0), 0x123456u);

  QuietRig rig;
  rig.s.Oid1.Gradient = true;
  rig.Run({{0, std::nullopt}, {31763, std::nullopt}});  // h = 67
  EXPECT_EQ(rig.picture.Pixel(DefaultL(), B), 0x008F00u);
}

TEST(Overlays, EachBoxIsErasedByThePreviousTextsExtent) {
  QuietRig rig;
  rig.s.Texts[1].Enabled = true;
  rig.s.Texts[1].Format = "System : %1";
  rig.poll.overlay_values[0] = "a rather long description";
  rig.Run({{std::nullopt, std::nullopt}});
  EXPECT_EQ(rig.s.DrawnTexts[1], "System : a rather long description");
  const int long_w = TextWidthAt7(rig.s.DrawnTexts[1]);
  rig.poll.overlay_values[0] = "x";
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.DrawnTexts[1], "System : x");
  const int short_w = TextWidthAt7("System : x");
  EXPECT_TRUE(HasColorIn(rig.picture, kBlack, 0, 148, short_w, 159));
  EXPECT_FALSE(HasColorIn(rig.picture, kBlack, short_w, 148, long_w + 2, 160));
}

TEST(Overlays, PlaceholdersTakeEveryValueInOrderAndDisabledOnesAreNotDrawn) {
  QuietRig rig;
  rig.s.Texts[2].Enabled = true;
  rig.s.Texts[2].Format = "%5/%1/%1";
  rig.poll.overlay_values = {"%2", "two", "3", "4", "five"};
  rig.Run({{std::nullopt, std::nullopt}});
  EXPECT_EQ(rig.s.DrawnTexts[2], "five/two/%1");
  EXPECT_EQ(rig.s.DrawnTexts[1], "");
}

TEST(RateLabel, OpaqueInTheChannelColourAndErasedNextTick) {
  QuietRig rig;
  rig.s.Oid1.TextY = 0;
  rig.picture.Fill(0x00FFFF);
  rig.Run({{0, std::nullopt}, {64000, std::nullopt}});
  TextPainter p(TickRig::Arial());
  p.SetSize(7);
  const TextExtent e = p.Extent("62.5 kB/s");
  std::set<Color> cell;
  for (int y = 0; y < e.height; ++y)
    for (int x = 2; x < 2 + e.width; ++x) cell.insert(rig.picture.Pixel(x, y));
  EXPECT_EQ(cell, (std::set<Color>{kWhite, kGreen}));
  EXPECT_EQ(rig.picture.Pixel(2 + e.width, 0), 0x00FFFFu);
  // A reading-less tick erases the label and draws none.
  rig.poll.script = {{std::nullopt, std::nullopt}};
  rig.cycle.Tick();
  EXPECT_FALSE(HasColorIn(rig.picture, kGreen, 2, 0, 2 + e.width, e.height));
}

TEST(Totals, ChannelColoursAroundABlackSeparator) {
  QuietRig rig;
  rig.s.ShowTotal = true;
  rig.Run({{3145728, 1048576}});
  const int w1 = TextWidthAt7("Down 3MB"), ws = TextWidthAt7(" / "), w2 = TextWidthAt7("Up 1MB");
  EXPECT_TRUE(HasColorIn(rig.picture, kGreen, 100, 0, 100 + w1, 11));
  EXPECT_TRUE(HasColorIn(rig.picture, kBlack, 100 + w1, 0, 100 + w1 + ws, 11));
  EXPECT_TRUE(HasColorIn(rig.picture, kBlue, 100 + w1 + ws, 0, 100 + w1 + ws + w2, 11));
  EXPECT_FALSE(HasColorIn(rig.picture, kBlue, 100, 0, 100 + w1 + ws, 11));
}

TEST(Clipping, SettingsFarOutsideThePictureDrawOnlyWhatFits) {
  for (const auto& place :
       std::vector<std::array<int, 4>>{{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                                       {INT_MAX, INT_MAX, INT_MIN, INT_MIN},
                                       {-50, 150, 450, 170},
                                       {390, -1000000000, 2000000000, 1000000000}}) {
    QuietRig rig;
    rig.s.GraphTopX = place[0];
    rig.s.GraphTopY = place[1];
    rig.s.GraphBottomX = place[2];
    rig.s.GraphBottomY = place[3];
    rig.s.VTicks = rig.s.HTicks = rig.s.ShowTotal = true;
    for (auto& t : rig.s.Texts) {
      t.Enabled = true;
      t.X = INT_MAX;
      t.Y = INT_MIN;
    }
    rig.s.Oid1.TextX = INT_MAX;
    rig.s.Oid2.TextX = INT_MIN;
    rig.s.Oid2.TextY = INT_MAX;
    rig.s.TotalX = INT_MAX - 5;
    rig.s.TextSize = INT_MAX;
    rig.s.Oid2.FullBars = false;
    rig.Run({{0, 0}, {1000000, 70000}, {1000000, 70000}, {2000000, 7000000}});
    EXPECT_EQ(rig.picture.Width(), kPictureWidth);
    EXPECT_EQ(rig.s.TrayBitmap.Width(), kTrayBitmapSize);
    EXPECT_GE(rig.s.LastBarHeight[1], 0);
    EXPECT_EQ(rig.host.hints.size(), 4u);
  }
}

}  // namespace
}  // namespace plovex
