#pragma once
// Surface: a width x height grid of 32-bit pixels holding colours as
// 0x00BBGGRR, the drawing target of the graph picture and the tray miniature.
//
// It offers exactly the drawing operations the renderer uses, with the rules
// of the original platform: a line covers the pixels from its start towards
// its end, without the end point; a rectangle covers left..right-1 and
// top..bottom-1. Every operation clips to the surface: coordinates outside it
// are legal and simply draw nothing there, so settings that place texts or the
// graph partly outside the picture can never write outside the pixel buffer.
// Copyable: a surface is plain data.
#include <cstdint>
#include <vector>

#include "image/color.h"

namespace plovex {

class Surface {
 public:
  Surface(int width, int height, Color fill = kWhite);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Row-major pixels, top row first; Width() * Height() entries.
  const std::uint32_t* Pixels() const { return pixels_.data(); }
  std::uint32_t* Pixels() { return pixels_.data(); }

  // The colour at (x, y); white outside the surface.
  Color Pixel(int x, int y) const;
  void SetPixel(int x, int y, Color c);

  void Fill(Color c);

  // Pen state as on the original canvas: LineTo draws in the pen colour from
  // the current position to (x, y), end point excluded, then moves there.
  void SetPenColor(Color c) { pen_ = c & 0xFFFFFF; }
  Color PenColor() const { return pen_; }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  // MoveTo(x0, y0) then LineTo(x1, y1).
  void Line(int x0, int y0, int x1, int y1);

  // Fills left..right-1 x top..bottom-1 with c (clipped).
  void FillRect(int left, int top, int right, int bottom, Color c);

  // Moves the content of columns left..right-2, rows top..bottom-1, one column
  // to the right; column right-1's old content is dropped and column left keeps
  // its old content. Used for the one-pixel scroll of the graph and the tray.
  void ScrollRight(int left, int top, int right, int bottom);

  bool operator==(const Surface& other) const = default;

 private:
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
  Color pen_ = kBlack;
  int pen_x_ = 0;
  int pen_y_ = 0;
};

}  // namespace plovex
