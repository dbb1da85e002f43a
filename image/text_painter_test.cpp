#include "image/text_painter.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "image/font.h"
#include "image/text_decode.h"

namespace plovex {
namespace {

Font& Arial() {
  static std::unique_ptr<Font> font = Font::Find("Arial");
  if (!font) ADD_FAILURE() << "no font for Arial (fonts-liberation missing?)";
  return *font;
}

int CountColor(const Surface& s, Color c) {
  int n = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) n += s.Pixel(x, y) == c;
  return n;
}

TEST(FontLookup, ArialResolvesToLiberationSans) {
  EXPECT_NE(Arial().Path().find("LiberationSans-Regular"), std::string::npos) << Arial().Path();
  EXPECT_EQ(Font::FromFile("/nonexistent/font.ttf").status().code(), StatusCode::kInvalidArgument);
}

TEST(FontSize, PointsBecomePixelsAt96Dpi) {
  EXPECT_EQ(TextPainter::PixelSizeForPoints(7), 9);
  EXPECT_EQ(TextPainter::PixelSizeForPoints(8), 11);  // 10.67
  EXPECT_EQ(TextPainter::PixelSizeForPoints(9), 12);
  EXPECT_EQ(TextPainter::PixelSizeForPoints(72), 96);
  EXPECT_EQ(TextPainter::PixelSizeForPoints(-7), 9);
  EXPECT_EQ(TextPainter::PixelSizeForPoints(0), 1);
  EXPECT_EQ(TextPainter::PixelSizeForPoints(2000000000), Font::kMaxPixelSize);
}

TEST(TextMetrics, WidthIsTheSumOfAdvancesAndHeightAscentPlusDescent) {
  TextPainter p(&Arial());
  p.SetSize(7);
  const FontMetrics& m = Arial().Metrics(9);
  EXPECT_EQ(m.ascent, 9);  // Liberation Sans at 9 px, as Arial on the original platform
  EXPECT_EQ(m.descent, 2);
  const int a = Arial().GlyphFor(9, U'6').advance, k = Arial().GlyphFor(9, U'k').advance;
  EXPECT_GT(a, 0);
  EXPECT_EQ(p.Extent("64kB").width, Arial().GlyphFor(9, U'6').advance +
                                        Arial().GlyphFor(9, U'4').advance + k +
                                        Arial().GlyphFor(9, U'B').advance);
  EXPECT_EQ(p.Extent("64kB").height, 11);
  EXPECT_EQ(p.Extent("").width, 0);
  EXPECT_EQ(p.Extent("").height, 11);
  p.SetSize(14);
  EXPECT_GT(p.Extent("64kB").width, 2 * a);
}

TEST(TextOut, FillsTheCellWhiteAndDrawsOnlyExactTextColour) {
  TextPainter p(&Arial());
  p.SetSize(7);
  p.SetColor(0x0000FF);
  Surface s(60, 20, 0x00FF00);
  p.TextOut(s, 3, 4, "Up 9MB");
  const TextExtent e = p.Extent("Up 9MB");
  std::set<Color> inside;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      const bool in_cell = x >= 3 && x < 3 + e.width && y >= 4 && y < 4 + e.height;
      if (in_cell)
        inside.insert(s.Pixel(x, y));
      else
        EXPECT_EQ(s.Pixel(x, y), 0x00FF00u) << x << "," << y;
    }
  EXPECT_EQ(inside, (std::set<Color>{kWhite, 0x0000FF}));
  // The baseline sits at y + ascent: "U" has ink on the row above it, none below.
  bool ink_above = false, ink_below = false;
  for (int x = 3; x < 3 + Arial().GlyphFor(9, U'U').advance; ++x) {
    ink_above |= s.Pixel(x, 4 + 9 - 1) == 0x0000FFu;
    ink_below |= s.Pixel(x, 4 + 9) == 0x0000FFu;
  }
  EXPECT_TRUE(ink_above);
  EXPECT_FALSE(ink_below);
}

TEST(TextOut, ClipsAtEveryEdgeAndFarAway) {
  TextPainter p(&Arial());
  p.SetSize(72);
  Surface s(20, 20, 0x00FF00);
  p.TextOut(s, 2000000000, 2000000000, "W");
  p.TextOut(s, -2000000000, -2000000000, "W");
  p.TextOut(s, 2147483000, 5, "W");  // the cell's right edge lies beyond INT_MAX
  EXPECT_EQ(CountColor(s, 0x00FF00), 400);
  p.TextOut(s, 15, 15, "WWW");  // only the cell's top-left corner is on the surface
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      if (x >= 15 && y >= 15)
        EXPECT_TRUE(s.Pixel(x, y) == kWhite || s.Pixel(x, y) == kBlack) << x << "," << y;
      else
        EXPECT_EQ(s.Pixel(x, y), 0x00FF00u) << x << "," << y;
    }
  p.TextOut(s, -30, -60, "WWW");  // cell covers the whole surface from above-left
  EXPECT_EQ(CountColor(s, 0x00FF00), 0);
}

TEST(TextOut, WithoutAFontMeasuresNothingAndDrawsNothing) {
  TextPainter p(nullptr);
  Surface s(10, 10, 0x123456);
  p.TextOut(s, 0, 0, "abc");
  EXPECT_EQ(p.Extent("abc").width, 0);
  EXPECT_EQ(p.Extent("abc").height, 0);
  EXPECT_EQ(CountColor(s, 0x123456), 100);
}

TEST(TextDecode, Utf8WhenValidOtherwiseLatin1) {
  EXPECT_EQ(DecodeText("abc"), U"abc");
  EXPECT_EQ(DecodeText("Z\xC3\xBCrich"), U"Z\u00FCrich");
  EXPECT_EQ(DecodeText("\xE2\x82\xAC 5"), U"\u20AC 5");
  EXPECT_EQ(DecodeText("Z\xFCrich"), U"Z\u00FCrich");            // Latin-1 byte
  EXPECT_EQ(DecodeText("\xC0\x80"), U"\u00C0\u0080");            // overlong
  EXPECT_EQ(DecodeText("\xED\xA0\x80"), U"\u00ED\u00A0\u0080");  // surrogate
  EXPECT_EQ(DecodeText("ok\xE2\x82"), U"ok\u00E2\u0082");        // truncated
  EXPECT_EQ(DecodeText(std::string("a\0b", 3)), std::u32string(U"a\0b", 3));
}

TEST(GlyphCache, RasterisesEachGlyphOnce) {
  const Glyph& a = Arial().GlyphFor(9, U'a');
  const Glyph& again = Arial().GlyphFor(9, U'a');
  EXPECT_EQ(&a, &again);
  EXPECT_NE(&Arial().GlyphFor(10, U'a'), &a);
  const Glyph& euro = Arial().GlyphFor(9, U'\u20AC');
  EXPECT_EQ(&Arial().GlyphFor(9, U'\u20AC'), &euro);
  EXPECT_GT(euro.advance, 0);
}

}  // namespace
}  // namespace plovex
