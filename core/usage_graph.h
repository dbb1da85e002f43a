#pragma once
// The History window's graph of one view of the usage store, drawn in the
// main picture's manner: white ground, grey scale labels and axis, silver
// level lines and time ticks, channel 1 (in) and channel 2 (out) in their
// colours, each as bars or as a line as its "Full bars" setting says. Unlike
// the main picture it is drawn whole each time from the buckets; the history
// is all there is to draw.
//
// The scale runs from 0 to a round rate (1, 2, 4 or 8 times a power of ten
// bytes per second) at or above the fastest bucket, so the quarter labels
// are round too. The average and the peak of the view are written over and
// under the graph. Without a font the texts are left out and the graph is
// drawn all the same. Never throws.
#include <cstdint>

#include "core/plovex_settings.h"
#include "history/usage_series.h"
#include "image/font.h"
#include "image/surface.h"

namespace plovex {

constexpr int kUsageGraphWidth = 440;
constexpr int kUsageGraphHeight = 190;

// The top of the scale for buckets whose fastest rate is `rate`.
std::int64_t UsageScale(std::int64_t rate);

// "12.3 kB/s".
std::string FormatByteRate(std::int64_t bytes_per_second);

Surface DrawUsageGraph(const UsageSeries& series, const TPlovexSettings& s, Font* font);

}  // namespace plovex
