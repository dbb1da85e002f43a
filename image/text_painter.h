#pragma once
// TextPainter: the picture's text state (size in points, colour) and the
// three text operations the renderer uses: width, height and opaque output.
// Opaque output fills the text's cell (x, y, x + width, y + height) white and
// draws the glyphs in the text colour with the baseline at y + ascent; pixels
// outside the surface are skipped, so any position is safe.
//
// Points become pixels at 96 dpi (7 pt is a 9 pixel em). Without a font
// (null) every text measures 0 x 0 and draws nothing: the graph works on.
// Does not own the font.
#include <string_view>

#include "image/color.h"
#include "image/font.h"
#include "image/surface.h"

namespace plovex {

struct TextExtent {
  int width = 0;
  int height = 0;
};

class TextPainter {
 public:
  explicit TextPainter(Font* font) : font_(font) {}

  // The em height in pixels of a size in points: round-half-even(points * 96
  // / 72), kept to 1..Font::kMaxPixelSize so that any stored size draws.
  static int PixelSizeForPoints(int points);

  void SetSize(int points) { pixel_size_ = PixelSizeForPoints(points); }
  int PixelSize() const { return pixel_size_; }
  void SetColor(Color c) { color_ = c & 0xFFFFFF; }
  Color GetColor() const { return color_; }

  // Width is the sum of the glyph advances, height ascent + descent.
  TextExtent Extent(std::string_view text);
  int TextWidth(std::string_view text) { return Extent(text).width; }

  void TextOut(Surface& surface, int x, int y, std::string_view text);

 private:
  Font* font_;
  int pixel_size_ = PixelSizeForPoints(7);
  Color color_ = kBlack;
};

}  // namespace plovex
