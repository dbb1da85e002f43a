#pragma once
// TGIFFrame: one image of a GIF file: its place on the logical screen, an
// optional local colour table and one colour-table index per pixel, row by
// row from the top, each row from left to right (width * height bytes).
#include <cstdint>
#include <optional>
#include <vector>

#include "image/gif_color_table.h"

namespace plovex {

struct TGIFFrame {
  std::uint16_t left = 0;
  std::uint16_t top = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  bool interlaced = false;
  std::optional<TGIFColorTable> local_color_table;
  std::vector<std::uint8_t> indices;
};

}  // namespace plovex
