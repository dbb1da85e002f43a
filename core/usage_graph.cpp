#include "core/usage_graph.h"

#include <algorithm>
#include <string>
#include <vector>

#include "image/text_painter.h"

namespace plovex {

namespace {

constexpr int kTextPoints = 7;

// One text in several colours, run after run, from (x, y).
struct Run {
  std::string text;
  Color color;
};

int DrawRuns(TextPainter& text, Surface& surface, int x, int y, const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    text.SetColor(run.color);
    text.TextOut(surface, x, y, run.text);
    x += text.TextWidth(run.text);
  }
  return x;
}

std::int64_t Height(std::int64_t rate, std::int64_t scale, std::int64_t h) {
  if (rate <= 0) return 0;
  // Any traffic at all shows as one pixel at least.
  return std::clamp<std::int64_t>((rate * h + scale / 2) / scale, 1, h);
}

}  // namespace

std::int64_t UsageScale(std::int64_t rate) {
  std::int64_t power = 1000;  // no scale below 1 kB/s: an idle line stays flat
  while (true) {
    for (const std::int64_t step : {1, 2, 4, 8}) {
      if (step * power >= rate) return step * power;
    }
    if (power > INT64_MAX / 100) return INT64_MAX;
    power *= 10;
  }
}

std::string FormatByteRate(std::int64_t bytes_per_second) {
  return FormatBytes(bytes_per_second) + "/s";
}

Surface DrawUsageGraph(const UsageSeries& series, const TPlovexSettings& s, Font* font) {
  Surface surface(kUsageGraphWidth, kUsageGraphHeight, kWhite);
  TextPainter text(font);
  text.SetSize(kTextPoints);
  const int line = text.Extent("0").height;
  const std::size_t n = series.buckets.size();

  std::vector<std::int64_t> rates[2];
  std::int64_t fastest = 0;
  for (const UsageBucket& b : series.buckets) {
    rates[0].push_back(AverageRate(b, b.in_bytes, series.now));
    rates[1].push_back(AverageRate(b, b.out_bytes, series.now));
    fastest = std::max({fastest, rates[0].back(), rates[1].back()});
  }
  const std::int64_t scale = UsageScale(fastest);

  DrawRuns(text, surface, 2, 1,
           {{"Peak  in ", kBlack},
            {FormatByteRate(series.peak_in), s.Oid1.Color},
            {"  out ", kBlack},
            {FormatByteRate(series.peak_out), s.Oid2.Color}});

  const int top = line + 4;
  const int bottom = kUsageGraphHeight - 2 * line - 7;
  const int h = bottom - top;
  // The scale strip, as the main picture's: labels in grey, then the axis.
  text.SetColor(kGrey);
  int strip = 0;
  for (int q = 4; q >= 1; --q) {
    const std::string label = FormatByteRate(scale / 4 * q + (q == 4 ? scale % 4 : 0));
    const int y = top + (4 - q) * (h / 4);
    text.TextOut(surface, 1, y, label);
    strip = std::max(strip, text.TextWidth(label));
  }
  const int left = strip + 4;
  const int right = kUsageGraphWidth - 4;
  const int width = right - left;
  surface.SetPenColor(kGrey);
  surface.Line(left - 1, top, left - 1, bottom + 1);
  surface.SetPenColor(kSilver);
  for (const int y : {top, top + h / 4, top + 2 * (h / 4), top + 3 * (h / 4), bottom}) {
    surface.Line(left, y, right, y);
  }
  const auto column = [&](std::size_t i) {
    return left + static_cast<int>(static_cast<std::int64_t>(i) * width / static_cast<int>(n));
  };

  // Time ticks across the graph, labels under it where they do not crowd.
  text.SetColor(kGrey);
  int free_from = left;
  for (const TimeLabel& label : TimeLabels(series)) {
    const int x = column(static_cast<std::size_t>(label.bucket));
    surface.SetPenColor(kSilver);
    surface.Line(x, top, x, bottom);
    const int w = text.TextWidth(label.text);
    const int at = x - w / 2;
    if (at < free_from || at + w > kUsageGraphWidth) continue;
    text.TextOut(surface, at, bottom + 2, label.text);
    free_from = at + w + 4;
  }

  for (int k = 0; k < 2 && n > 0; ++k) {
    const OidChannel& c = s.Channel(k + 1);
    const Color color = c.Color & 0xFFFFFF;
    int prev_x = 0, prev_y = 0;
    for (std::size_t i = 0; i < n; ++i) {
      // The newest bucket before its first minute is written: not a fall to
      // zero, only not yet known.
      const UsageBucket& b = series.buckets[i];
      if (i + 1 == n && b.in_bytes == 0 && b.out_bytes == 0) break;
      const int x0 = column(i);
      const int x1 = std::max(column(i + 1), x0 + 1);
      const int y = bottom - static_cast<int>(Height(rates[k][i], scale, h));
      if (c.FullBars) {
        if (y < bottom) surface.FillRect(x0, y + 1, x1, bottom + 1, color);
        continue;
      }
      const int x = (x0 + x1 - 1) / 2;
      surface.SetPenColor(color);
      if (i > 0) surface.Line(prev_x, prev_y, x, y);
      surface.SetPixel(x, y, color);
      prev_x = x;
      prev_y = y;
    }
  }

  DrawRuns(text, surface, 2, bottom + line + 5,
           {{"Average  in ", kBlack},
            {FormatByteRate(series.average_in), s.Oid1.Color},
            {"  out ", kBlack},
            {FormatByteRate(series.average_out), s.Oid2.Color}});
  return surface;
}

}  // namespace plovex
