#include "core/graph_renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/format_rate.h"
#include "core/replace_first.h"

namespace plovex {
namespace {

// Surface coordinates are int; anything beyond +-2^28 is far outside every
// surface, and clamping there keeps rectangles, scrolls and straight lines
// pixel-exact while leaving the surface's own int arithmetic (differences of
// two coordinates, one past an edge) far from overflow.
constexpr std::int64_t kFar = std::int64_t{1} << 28;
int Clip(std::int64_t v) { return static_cast<int>(std::clamp(v, -kFar, kFar)); }

std::int32_t ToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void VerticalLine(Surface& s, std::int64_t x, std::int64_t y0, std::int64_t y1) {
  if (x < 0 || x >= s.Width()) return;
  s.Line(static_cast<int>(x), Clip(y0), static_cast<int>(x), Clip(y1));
}

void HorizontalLine(Surface& s, std::int64_t x0, std::int64_t x1, std::int64_t y) {
  if (y < 0 || y >= s.Height()) return;
  s.Line(Clip(x0), static_cast<int>(y), Clip(x1), static_cast<int>(y));
}

void Point(Surface& s, std::int64_t x, std::int64_t y, Color c) {
  if (x < 0 || y < 0 || x >= s.Width() || y >= s.Height()) return;
  s.SetPixel(static_cast<int>(x), static_cast<int>(y), c);
}

}  // namespace

GraphRenderer::GraphRenderer(TPlovexSettings& settings, Surface& picture, Font* font)
    : s_(settings), picture_(picture), text_(font) {}

void GraphRenderer::BeginTick() {
  left_ = s_.GraphTopX;
  top_ = s_.GraphTopY;
  right_ = s_.GraphBottomX;
  bottom_ = s_.GraphBottomY;
  text_.SetSize(s_.TextSize);
}

void GraphRenderer::DrawScaleStrip(bool restart) {
  const std::int64_t m = s_.MaxBytes / 1000;
  const std::string top_label = std::to_string(m) + "kB";
  const std::int64_t w = text_.TextWidth(top_label);
  text_.SetColor(kGrey);
  if (restart) {
    const std::int64_t quarter = GraphHeight() / 4;
    Text(left_ + 1, top_, top_label);
    Text(left_ + 1, top_ + quarter, std::to_string((m * 3) / 4) + "kB");
    Text(left_ + 1, top_ + 2 * quarter, std::to_string((m * 2) / 4) + "kB");
    Text(left_ + 1, top_ + 3 * quarter, std::to_string(m / 4) + "kB");
  }
  left_ += w + 3;
  picture_.SetPenColor(kGrey);
  VerticalLine(picture_, left_ - 1, top_, bottom_);
}

void GraphRenderer::MeasureRateLabelBoxes() {
  for (int k = 1; k <= 2; ++k) {
    const OidChannel& c = s_.Channel(k);
    rate_boxes_[k - 1] = TextBox(c.TextX, c.TextY, FormatRate(c.Rate));
  }
}

void GraphRenderer::ScrollGraph() {
  for (int k = 0; k < 2; ++k) {
    joins_[k] = drawn_[k];
    drawn_[k] = false;
  }
  if (right_ - left_ < 2 || bottom_ <= top_) return;  // nothing that could move
  picture_.ScrollRight(Clip(left_), Clip(top_), Clip(right_), Clip(bottom_));
}

void GraphRenderer::ScrollTray() {
  Surface& tray = s_.TrayBitmap;
  tray.ScrollRight(0, 0, kTrayBitmapSize, kTrayBitmapSize);
  tray.SetPenColor(kWhite);
  tray.Line(0, 0, 0, kTrayBitmapSize);
}

void GraphRenderer::DrawTimeTicks(const LocalTime& now, std::int32_t tick_freq) {
  if (tick_freq == 0) return;  // the tick has already failed on this divisor
  const std::int64_t period = tick_freq == 1 ? 60 : tick_freq;
  const std::int64_t phase = tick_freq == 1 ? now.second : now.minute;
  picture_.SetPenColor(kSilver);
  // Only the columns that exist can show a line; the rest of L..R is skipped.
  const std::int64_t from = std::max<std::int64_t>(left_, 0);
  const std::int64_t to = std::min<std::int64_t>(right_, picture_.Width() - 1);
  for (std::int64_t x = from; x <= to; ++x)
    if ((x - phase - left_) % period == 0) VerticalLine(picture_, x, top_, bottom_);
}

void GraphRenderer::DrawNewColumn(bool silver) {
  picture_.SetPenColor(silver ? kSilver : kWhite);
  VerticalLine(picture_, left_, top_, bottom_);
}

void GraphRenderer::DrawLevelMarks(bool restart) {
  const std::int64_t quarter = GraphHeight() / 4;
  const std::int64_t levels[] = {top_, top_ + quarter, top_ + 2 * quarter, top_ + 3 * quarter,
                                 bottom_};
  picture_.SetPenColor(kSilver);
  for (std::int64_t y : levels) {
    if (restart)
      HorizontalLine(picture_, left_, right_, y);
    else
      Point(picture_, left_, y, kSilver);
  }
  s_.TrayBitmap.SetPixel(0, 0, kGrey);
  s_.TrayBitmap.SetPixel(0, kTrayBitmapSize - 1, kGrey);
}

void GraphRenderer::EraseRateLabels() {
  Fill(rate_boxes_[0]);
  Fill(rate_boxes_[1]);
}

Color GraphRenderer::GradientColor(Color from, Color to, std::int64_t h, std::int64_t height) {
  if (height <= 0) return from & 0xFFFFFF;
  const auto mix = [&](int shift) -> Color {
    const std::int64_t c0 = (from >> shift) & 0xFF, c1 = (to >> shift) & 0xFF;
    const double step = static_cast<double>((c1 - c0) * h) / static_cast<double>(height);
    return static_cast<Color>(c0 + static_cast<std::int64_t>(std::trunc(step))) & 0xFF;
  };
  return mix(0) | mix(8) << 8 | mix(16) << 16;
}

void GraphRenderer::DrawSample(int k, std::int64_t h, std::int64_t t) {
  OidChannel& c = s_.Channel(k);
  const std::int64_t full = std::max<std::int64_t>(GraphHeight(), 0);
  h = std::max<std::int64_t>(h, 0);
  t = std::clamp<std::int64_t>(t, 0, kTrayBitmapSize);
  Color pen;
  if (h > full) {
    pen = c.MaxColor;
    text_.SetColor(c.MaxColor);
    h = full;
    t = kTrayBitmapSize;
  } else {
    text_.SetColor(c.Color);
    pen = c.Gradient ? GradientColor(c.Color, c.MaxColor, h, full) : c.Color;
  }
  picture_.SetPenColor(pen);
  Surface& tray = s_.TrayBitmap;
  tray.SetPenColor(pen);
  const int tray_bottom = kTrayBitmapSize - 1;
  if (c.FullBars) {
    VerticalLine(picture_, left_, bottom_, bottom_ - h);
    tray.Line(0, tray_bottom, 0, tray_bottom - static_cast<int>(t));
  } else if (joins_[k - 1]) {
    JoinLine(left_, bottom_ - s_.LastBarHeight[k], bottom_ - h);
    const int last_t = std::clamp(s_.LastTrayHeight[k], 0, kTrayBitmapSize);
    tray.Line(1, tray_bottom - last_t, 0, tray_bottom - static_cast<int>(t));
  } else {
    // The column to the right holds no sample of this channel (a restart, a
    // new baseline, a gap): the line starts here, as a dot.
    Point(picture_, left_, bottom_ - h, pen);
    Point(tray, 0, tray_bottom - t, pen);
  }
  drawn_[k - 1] = true;
  Text(c.TextX, c.TextY, FormatRate(c.Rate));
  s_.LastBarHeight[k] = ToInt32(h);
  s_.LastTrayHeight[k] = static_cast<std::int32_t>(t);
}

void GraphRenderer::JoinLine(std::int64_t x, std::int64_t y0, std::int64_t y1) {
  // With one column of horizontal travel the surface's line covers the first
  // (n + 1) div 2 rows of the n-row run in column x + 1 and the rest in
  // column x; two clipped vertical runs give the same pixels.
  const std::int64_t n = y1 > y0 ? y1 - y0 : y0 - y1;
  if (n == 0) {
    Point(picture_, x + 1, y0, picture_.PenColor());
    return;
  }
  const std::int64_t sy = y1 > y0 ? 1 : -1;
  const std::int64_t split = y0 + sy * ((n - 1) / 2 + 1);
  VerticalLine(picture_, x + 1, y0, split);
  VerticalLine(picture_, x, split, y1);
}

void GraphRenderer::DrawTotals(const std::string& text1, const std::string& text2) {
  std::int64_t x = s_.TotalX;
  text_.SetColor(s_.Oid1.Color);
  Text(x, s_.TotalY, text1);
  x += text_.TextWidth(text1);
  text_.SetColor(kBlack);
  Text(x, s_.TotalY, " / ");
  x += text_.TextWidth(" / ");
  text_.SetColor(s_.Oid2.Color);
  Text(x, s_.TotalY, text2);
}

void GraphRenderer::DrawOverlays(const PollTexts& values) {
  for (int i = 1; i <= 5; ++i) {
    const TextOverlay& overlay = s_.Texts[i];
    if (!overlay.Enabled) continue;
    const Box box = TextBox(overlay.X, overlay.Y, s_.DrawnTexts[i]);
    std::string text = overlay.Format;
    for (int v = 1; v <= 5; ++v)
      text = ReplaceFirst(text, "%" + std::to_string(v), values[static_cast<std::size_t>(v) + 1]);
    s_.DrawnTexts[i] = text;
    Fill(box);
    text_.SetColor(kBlack);
    Text(overlay.X, overlay.Y, text);
  }
}

void GraphRenderer::Fill(const Box& box) {
  picture_.FillRect(Clip(box.left), Clip(box.top), Clip(box.right), Clip(box.bottom), kWhite);
}

void GraphRenderer::Text(std::int64_t x, std::int64_t y, const std::string& text) {
  // A text that starts this far away cannot reach the picture (a glyph
  // overhangs its cell by a few pixels at most).
  if (x < -kFar || y < -kFar || x > kFar || y > kFar) return;
  text_.TextOut(picture_, static_cast<int>(x), static_cast<int>(y), text);
}

Box GraphRenderer::TextBox(std::int64_t x, std::int64_t y, const std::string& text) {
  const TextExtent e = text_.Extent(text);
  return Box{x, y, x + e.width, y + e.height};
}

}  // namespace plovex
