#pragma once
// The fixed 216-colour cube every picture is reduced to: six levels per
// channel (0, 51, 102, 153, 204, 255), index 36 * red + 6 * green + blue
// level. A channel value v falls to level (v + 3) div 51, which is not the
// nearest level (48 already gives 51); each pixel is mapped on its own, no
// error is carried to its neighbours.
#include <cstddef>
#include <cstdint>

#include "image/color.h"
#include "image/gif_color_table.h"
#include "image/gif_format.h"

namespace plovex {

inline constexpr int kCubeColorCount = 216;

// The cube index of one colour (its bits above 23 are ignored).
std::uint8_t CubeIndex(Color color);

// out[i] = CubeIndex(pixels[i]) for i < count.
void ReduceToCube(const std::uint32_t* pixels, std::size_t count, std::uint8_t* out);

// The 216 cube colours, red varying slowest, then 40 black entries.
TGIFColorTable CubeColorTable();

}  // namespace plovex
