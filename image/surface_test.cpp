#include "image/surface.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace plovex {
namespace {

int CountColor(const Surface& s, Color c) {
  int n = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) n += s.Pixel(x, y) == c;
  return n;
}

TEST(SurfaceLine, ExcludesTheEndPointInEveryDirection) {
  Surface s(10, 10);
  s.SetPenColor(kBlack);
  s.Line(2, 8, 2, 3);  // upward: rows 8..4
  EXPECT_EQ(s.Pixel(2, 8), kBlack);
  EXPECT_EQ(s.Pixel(2, 4), kBlack);
  EXPECT_EQ(s.Pixel(2, 3), kWhite);
  s.Line(0, 0, 5, 0);  // rightward: columns 0..4
  EXPECT_EQ(s.Pixel(4, 0), kBlack);
  EXPECT_EQ(s.Pixel(5, 0), kWhite);
  s.Line(7, 7, 7, 7);  // a point line draws nothing
  EXPECT_EQ(s.Pixel(7, 7), kWhite);
  EXPECT_EQ(CountColor(s, kBlack), 10);
}

TEST(SurfaceLine, DiagonalJoinCoversBothColumnsWithoutTheEnd) {
  Surface s(10, 20);
  s.SetPenColor(0x0000FF);
  s.Line(5, 10, 4, 2);  // a line-mode join: previous sample one column right
  EXPECT_EQ(s.Pixel(5, 10), 0x0000FFu);
  EXPECT_EQ(s.Pixel(4, 2), kWhite);
  EXPECT_EQ(CountColor(s, 0x0000FF), 8);
  for (int y = 3; y <= 10; ++y)
    EXPECT_TRUE(s.Pixel(4, y) == 0x0000FFu || s.Pixel(5, y) == 0x0000FFu) << y;
}

TEST(SurfaceClipping, FarOutsideCoordinatesDrawOnlyWhatFits) {
  Surface s(8, 8);
  s.SetPenColor(kBlack);
  s.Line(3, 2000000000, 3, -2000000000);
  EXPECT_EQ(CountColor(s, kBlack), 8);
  s.FillRect(-100, -100, 2, 2, kGrey);
  EXPECT_EQ(CountColor(s, kGrey), 4);
  s.Line(-5, -5, 20, 20);
  s.SetPixel(-1, 3, kBlack);
  s.SetPixel(8, 3, kBlack);
  EXPECT_EQ(s.Pixel(100, 100), kWhite);
}

TEST(SurfaceScroll, MovesOneColumnKeepsTheFirstAndDropsTheLast) {
  Surface s(6, 3);
  for (int x = 0; x < 6; ++x) s.SetPixel(x, 1, static_cast<Color>(x + 1));
  s.ScrollRight(1, 1, 5, 2);
  // Columns 1..3 moved to 2..4; column 1 kept; column 5 and column 0 untouched.
  EXPECT_EQ(s.Pixel(0, 1), 1u);
  EXPECT_EQ(s.Pixel(1, 1), 2u);
  EXPECT_EQ(s.Pixel(2, 1), 2u);
  EXPECT_EQ(s.Pixel(3, 1), 3u);
  EXPECT_EQ(s.Pixel(4, 1), 4u);
  EXPECT_EQ(s.Pixel(5, 1), 6u);
  // Rows outside the rectangle do not move.
  EXPECT_EQ(s.Pixel(2, 0), kWhite);
}

TEST(SurfaceScroll, RectangleLargerThanTheSurfaceIsClipped) {
  Surface s(4, 2);
  for (int x = 0; x < 4; ++x) s.SetPixel(x, 0, static_cast<Color>(x + 1));
  s.ScrollRight(-10, -10, 100, 100);
  EXPECT_EQ(s.Pixel(0, 0), 1u);
  EXPECT_EQ(s.Pixel(1, 0), 1u);
  EXPECT_EQ(s.Pixel(3, 0), 3u);
}

}  // namespace
}  // namespace plovex

namespace plovex {
namespace {

TEST(SurfaceClipping, ExtremeRectanglesNeitherOverflowNorDraw) {
  Surface s(4, 4);
  s.SetPixel(0, 0, kBlack);
  const Surface before = s;
  s.ScrollRight(INT32_MAX, 0, INT32_MIN, 4);
  s.ScrollRight(INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX);
  s.FillRect(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, kGrey);
  s.FillRect(INT32_MIN, 0, INT32_MIN + 1, 4, kGrey);
  EXPECT_EQ(s, before);
  s.ScrollRight(INT32_MIN, 0, INT32_MAX, 1);  // whole row, clipped: 0 stays, 1 gets 0's pixel
  EXPECT_EQ(s.Pixel(1, 0), kBlack);
  EXPECT_EQ(s.Pixel(0, 0), kBlack);
}

}  // namespace
}  // namespace plovex
