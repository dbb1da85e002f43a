#include "image/text_painter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "image/text_decode.h"

namespace plovex {

int TextPainter::PixelSizeForPoints(int points) {
  // points * 4 / 3 is never exactly half-way, so rounding to nearest is the
  // half-even rounding too. Negative sizes are taken by magnitude.
  const std::int64_t p = std::llabs(static_cast<std::int64_t>(points));
  const std::int64_t px = (p * 4 + 1) / 3;
  return static_cast<int>(std::clamp<std::int64_t>(px, 1, Font::kMaxPixelSize));
}

TextExtent TextPainter::Extent(std::string_view text) {
  if (font_ == nullptr) return {};
  const FontMetrics& m = font_->Metrics(pixel_size_);
  std::int64_t width = 0;
  for (char32_t cp : DecodeText(text)) width += font_->GlyphFor(pixel_size_, cp).advance;
  return {static_cast<int>(std::min<std::int64_t>(width, 1 << 30)), m.ascent + m.descent};
}

void TextPainter::TextOut(Surface& surface, int x, int y, std::string_view text) {
  if (font_ == nullptr) return;
  const std::u32string chars = DecodeText(text);
  const FontMetrics& m = font_->Metrics(pixel_size_);
  // Positions in 64 bits: a text placed near the int range's end must clip,
  // not wrap around onto the picture.
  std::int64_t width = 0;
  for (char32_t cp : chars) width += font_->GlyphFor(pixel_size_, cp).advance;
  const auto clip = [](std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -(1 << 30), 1 << 30));
  };
  surface.FillRect(x, y, clip(std::int64_t{x} + width),
                   clip(std::int64_t{y} + m.ascent + m.descent), kWhite);
  const std::int64_t baseline = std::int64_t{y} + m.ascent;
  std::int64_t pen = x;
  const int w = surface.Width(), h = surface.Height();
  std::uint32_t* pixels = surface.Pixels();
  for (char32_t cp : chars) {
    const Glyph& g = font_->GlyphFor(pixel_size_, cp);
    const std::int64_t gx = pen + g.left, gy = baseline - g.top;
    pen += g.advance;
    if (gx >= w || gy >= h || gx + g.width <= 0 || gy + g.rows <= 0) continue;
    for (int row = 0; row < g.rows; ++row) {
      const std::int64_t py = gy + row;
      if (py < 0 || py >= h) continue;
      std::uint32_t* line = pixels + py * w;
      for (int col = 0; col < g.width; ++col) {
        const std::int64_t px = gx + col;
        if (px >= 0 && px < w && g.Ink(col, row)) line[px] = color_;
      }
    }
  }
}

}  // namespace plovex
