#pragma once
// Packing variable-width codes into bytes least significant bit first, the
// order of GIF's LZW data: the first code fills the low bits of the first
// byte, and a code that does not fit continues in the low bits of the next
// byte.
//
// GifBitPacker does the packing over a buffer its caller owns and has sized
// for the worst case, so its state can live in registers inside a coding
// loop. GifBitWriter wraps it with a buffer of its own that grows as needed.
//
// Put has no data-dependent branch: the pending bits (fewer than 8) sit in a
// 64-bit accumulator that is stored whole after every code, and the cursor
// advances by the number of bytes completed.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace plovex {

class GifBitPacker {
 public:
  // Room a Put may write past the completed bytes: the buffer for n
  // completed bytes needs n + kSlack bytes.
  static constexpr std::size_t kSlack = 8;

  explicit GifBitPacker(std::uint8_t* out) : out_(out) {}

  // Appends code, which must fit in `width` bits (width 1 to 32): the
  // coder's codes always do, and masking would cost the loop two steps.
  void Put(std::uint32_t code, int width) {
    acc_ |= std::uint64_t{code} << count_;
    count_ += width;
    Store();
    out_ += count_ >> 3;
    acc_ >>= count_ & ~7;
    count_ &= 7;
  }

  // Pads the last byte with zero bits; returns one past the last byte
  // written. The packer must not be used afterwards.
  std::uint8_t* Finish() {
    if (count_ > 0) {
      Store();
      ++out_;
    }
    return out_;
  }

  // One past the last completed byte.
  std::uint8_t* Cursor() const { return out_; }
  // Continues at `cursor`, where the caller has moved the completed bytes.
  void MoveTo(std::uint8_t* cursor) { out_ = cursor; }

 private:
  void Store() {
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(out_, &acc_, 8);
    } else {
      for (int k = 0; k < 8; ++k) out_[k] = static_cast<std::uint8_t>(acc_ >> (8 * k));
    }
  }

  std::uint64_t acc_ = 0;
  int count_ = 0;
  std::uint8_t* out_;
};

// Owns the bytes it produces until Finish hands them out.
class GifBitWriter {
 public:
  // expected_bytes only sizes the first buffer; the writer grows as needed.
  explicit GifBitWriter(std::size_t expected_bytes = 0);

  // Appends the low `width` bits of code (width 1 to 32).
  void Put(std::uint32_t code, int width) {
    packer_.Put(code & (0xFFFFFFFFu >> (32 - width)), width);
    if (static_cast<std::size_t>(bytes_.data() + bytes_.size() - packer_.Cursor()) <
        GifBitPacker::kSlack) {
      Grow();
    }
  }

  // Pads the last byte with zero bits and returns every byte written; the
  // writer is empty afterwards.
  std::vector<std::uint8_t> Finish();

 private:
  void Grow();

  std::vector<std::uint8_t> bytes_;
  GifBitPacker packer_;
};

}  // namespace plovex
