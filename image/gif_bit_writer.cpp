#include "image/gif_bit_writer.h"

#include <utility>

namespace plovex {

GifBitWriter::GifBitWriter(std::size_t expected_bytes) : bytes_(expected_bytes + kSlack) {}

std::vector<std::uint8_t> GifBitWriter::Finish() {
  if (count_ > 0) {
    StoreAccumulator(bytes_.data() + size_);
    ++size_;
  }
  bytes_.resize(size_);
  std::vector<std::uint8_t> out = std::move(bytes_);
  bytes_.assign(kSlack, 0);
  size_ = 0;
  acc_ = 0;
  count_ = 0;
  return out;
}

void GifBitWriter::Grow() { bytes_.resize(bytes_.size() * 2 + kSlack); }

}  // namespace plovex
