#pragma once
// GraphRenderer: the pixel rules of one tick on the picture and on the tray
// miniature (TPlovexSettings::TrayBitmap). TickCycle calls the steps in its
// order; each step draws only what its rule says, so the picture accumulates
// from tick to tick and is never redrawn from history.
//
// Geometry is kept in 64 bits and every drawing clips to its surface: any
// stored setting (graph corners, text positions, sizes far outside the
// picture) draws what fits and nothing else. Heights given to DrawSample are
// clamped to the graph (0..H) and the tray (0..16), so no sample lands below
// the graph's bottom row. Never throws.
//
// Does not own the settings, the picture or the font.
#include <cstdint>
#include <string>

#include "core/clock.h"
#include "core/plovex_settings.h"
#include "core/poll_source.h"
#include "image/font.h"
#include "image/surface.h"
#include "image/text_painter.h"

namespace plovex {

struct Box {
  std::int64_t left = 0, top = 0, right = 0, bottom = 0;
};

class GraphRenderer {
 public:
  GraphRenderer(TPlovexSettings& settings, Surface& picture, Font* font);

  // Graph rectangle and H from the settings; the font at TextSize points.
  void BeginTick();
  // H = GraphBottomY - GraphTopY (may be 0 or negative with odd settings).
  std::int64_t GraphHeight() const { return bottom_ - top_; }
  // Left edge of the graph after the scale strip.
  std::int64_t GraphLeft() const { return left_; }

  // The scale strip when GraphLabel is on: the four labels on a restart tick,
  // the left edge moved past the strip, the grey axis line.
  void DrawScaleStrip(bool restart);
  // The places of the rate labels drawn on the previous tick (Rate still
  // holds the previous tick's rate).
  void MeasureRateLabelBoxes();
  void ScrollGraph();
  void ScrollTray();
  // Silver lines on every tick column across the graph (restart ticks).
  void DrawTimeTicks(const LocalTime& now, std::int32_t tick_freq);
  void DrawNewColumn(bool silver);
  void DrawLevelMarks(bool restart);
  void EraseRateLabels();
  // Sample, tray sample and rate label of channel k with bar height h and
  // tray height t as computed from the rate. In line mode the sample is
  // joined to the previous one only when that was drawn on the tick before;
  // otherwise (after a restart, a new baseline or a gap) its line starts.
  void DrawSample(int k, std::int64_t h, std::int64_t t);
  void DrawTotals(const std::string& text1, const std::string& text2);
  void DrawOverlays(const PollTexts& values);

  // The bar colour at height h of a gradient from `from` (h = 0) to `to`
  // (h = height): each component c0 + trunc((c1 - c0) * h / height).
  static Color GradientColor(Color from, Color to, std::int64_t h, std::int64_t height);

 private:
  void Fill(const Box& box);
  void Text(std::int64_t x, std::int64_t y, const std::string& text);
  Box TextBox(std::int64_t x, std::int64_t y, const std::string& text);
  // The line-mode join from (x + 1, y0) to (x, y1), drawn exactly as the
  // surface's line rule would but in time independent of its length.
  void JoinLine(std::int64_t x, std::int64_t y0, std::int64_t y1);

  TPlovexSettings& s_;
  Surface& picture_;
  TextPainter text_;
  std::int64_t left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  Box rate_boxes_[2];
  // Per channel: a sample was drawn since the last scroll, and the column
  // right of the new one holds the previous tick's sample (line mode joins
  // it only then).
  bool drawn_[2] = {false, false};
  bool joins_[2] = {false, false};
};

}  // namespace plovex
