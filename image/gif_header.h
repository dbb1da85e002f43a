#pragma once
// TGIFHeader: the logical screen of a GIF file: its size, the optional global
// colour table and the descriptor's remaining fields.
#include <cstdint>
#include <optional>

#include "image/gif_color_table.h"
#include "image/gif_format.h"

namespace plovex {

struct TGIFHeader {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t color_resolution = gif::kColorResolutionField;
  std::uint8_t background_index = 0;
  std::uint8_t aspect_ratio = 0;
  std::optional<TGIFColorTable> global_color_table;
};

}  // namespace plovex
