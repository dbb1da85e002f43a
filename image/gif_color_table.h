#pragma once
// TGIFColorTable: the colours of a GIF colour table, global or local, in index
// order. The file stores 2^(SizeField() + 1) entries; entries beyond Count()
// are written as black.
#include <array>
#include <cstdint>
#include <vector>

namespace plovex {

struct TGIFColorTable {
  using Rgb = std::array<std::uint8_t, 3>;

  std::vector<Rgb> entries;

  int Count() const { return static_cast<int>(entries.size()); }
  // The smallest field s with 2^(s + 1) >= Count() (0 for tables of 0 to 2).
  int SizeField() const;
  // Bits per pixel index: SizeField() + 1.
  int BitsPerPixel() const { return SizeField() + 1; }
};

}  // namespace plovex
