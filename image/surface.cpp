#include "image/surface.h"

#include <algorithm>
#include <cstdlib>

namespace plovex {

Surface::Surface(int width, int height, Color fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              fill & 0xFFFFFF) {}

Color Surface::Pixel(int x, int y) const {
  if (!Inside(x, y)) return kWhite;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void Surface::SetPixel(int x, int y, Color c) {
  if (!Inside(x, y)) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = c & 0xFFFFFF;
}

void Surface::Fill(Color c) { std::fill(pixels_.begin(), pixels_.end(), c & 0xFFFFFF); }

void Surface::MoveTo(int x, int y) {
  pen_x_ = x;
  pen_y_ = y;
}

void Surface::LineTo(int x, int y) {
  // Bresenham over 64-bit intermediates so that far-away end points from odd
  // settings cannot overflow; pixels outside the surface are skipped.
  std::int64_t x0 = pen_x_, y0 = pen_y_;
  const std::int64_t x1 = x, y1 = y;
  const std::int64_t dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  std::int64_t err = dx + dy;
  const bool vertical = dx == 0, horizontal = dy == 0;
  if (vertical || horizontal) {
    // The common case (every line of the graph but the line-mode joins):
    // clip the span first instead of walking millions of empty steps.
    if (vertical && !horizontal && x0 >= 0 && x0 < width_) {
      std::int64_t a = y0, b = y1 - sy;  // inclusive span, end excluded
      if (a > b) std::swap(a, b);
      a = std::max<std::int64_t>(a, 0);
      b = std::min<std::int64_t>(b, height_ - 1);
      for (std::int64_t yy = a; yy <= b; ++yy)
        pixels_[static_cast<std::size_t>(yy) * width_ + x0] = pen_;
    } else if (horizontal && !vertical && y0 >= 0 && y0 < height_) {
      std::int64_t a = x0, b = x1 - sx;
      if (a > b) std::swap(a, b);
      a = std::max<std::int64_t>(a, 0);
      b = std::min<std::int64_t>(b, width_ - 1);
      for (std::int64_t xx = a; xx <= b; ++xx)
        pixels_[static_cast<std::size_t>(y0) * width_ + xx] = pen_;
    }
  } else {
    while (!(x0 == x1 && y0 == y1)) {
      if (x0 >= 0 && y0 >= 0 && x0 < width_ && y0 < height_)
        pixels_[static_cast<std::size_t>(y0) * width_ + x0] = pen_;
      const std::int64_t e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
  }
  pen_x_ = x;
  pen_y_ = y;
}

void Surface::Line(int x0, int y0, int x1, int y1) {
  MoveTo(x0, y0);
  LineTo(x1, y1);
}

void Surface::FillRect(int left, int top, int right, int bottom, Color c) {
  const int l = std::max(left, 0), t = std::max(top, 0);
  const int r = std::min(right, width_), b = std::min(bottom, height_);
  if (l >= r || t >= b) return;
  c &= 0xFFFFFF;
  for (int y = t; y < b; ++y)
    std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + l, r - l, c);
}

void Surface::ScrollRight(int left, int top, int right, int bottom) {
  // Source columns left..right-2 land on left+1..right-1; the destination is
  // clipped to the surface (in 64 bits: settings may hold any int), and
  // column 0 is never a destination since its source lies outside.
  const int t = std::max(top, 0), b = std::min(bottom, height_);
  const std::int64_t dst_l = std::max<std::int64_t>(std::int64_t{left} + 1, 1);
  const std::int64_t dst_r = std::min<std::int64_t>(right, width_);  // exclusive
  if (dst_r <= dst_l || t >= b) return;
  for (int y = t; y < b; ++y) {
    std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
    std::copy_backward(row + dst_l - 1, row + dst_r - 1, row + dst_r);
  }
}

}  // namespace plovex
