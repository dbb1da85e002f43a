#pragma once
// GifBitWriter: packs variable-width codes into bytes least significant bit
// first, the order of GIF's LZW data: the first code fills the low bits of
// the first byte, and a code that does not fit continues in the low bits of
// the next byte. It owns the bytes it produces until Finish hands them out.
//
// Put has no data-dependent branch: the pending bits (fewer than 8) sit in a
// 64-bit accumulator that is stored whole after every code, and the store
// position advances by the number of bytes completed.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace plovex {

class GifBitWriter {
 public:
  // expected_bytes only sizes the first buffer; the writer grows as needed.
  explicit GifBitWriter(std::size_t expected_bytes = 0);

  // Appends the low `width` bits of code (width 1 to 32).
  void Put(std::uint32_t code, int width) {
    acc_ |= std::uint64_t{code & (0xFFFFFFFFu >> (32 - width))} << count_;
    count_ += width;
    StoreAccumulator(bytes_.data() + size_);
    const int whole = count_ >> 3;
    size_ += static_cast<std::size_t>(whole);
    acc_ >>= whole * 8;
    count_ &= 7;
    if (bytes_.size() - size_ < kSlack) Grow();
  }

  // Pads the last byte with zero bits and returns every byte written; the
  // writer is empty afterwards.
  std::vector<std::uint8_t> Finish();

 private:
  // Room a Put may write past the completed bytes.
  static constexpr std::size_t kSlack = 8;

  void StoreAccumulator(std::uint8_t* p) const {
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(p, &acc_, 8);
    } else {
      for (int k = 0; k < 8; ++k) p[k] = static_cast<std::uint8_t>(acc_ >> (8 * k));
    }
  }
  void Grow();

  std::vector<std::uint8_t> bytes_;
  std::size_t size_ = 0;
  std::uint64_t acc_ = 0;
  int count_ = 0;
};

}  // namespace plovex
