#include "image/gif_bit_writer.h"

#include <utility>

namespace plovex {

GifBitWriter::GifBitWriter(std::size_t expected_bytes)
    : bytes_(expected_bytes + GifBitPacker::kSlack), packer_(bytes_.data()) {}

std::vector<std::uint8_t> GifBitWriter::Finish() {
  bytes_.resize(static_cast<std::size_t>(packer_.Finish() - bytes_.data()));
  std::vector<std::uint8_t> out = std::move(bytes_);
  bytes_.assign(GifBitPacker::kSlack, 0);
  packer_ = GifBitPacker(bytes_.data());
  return out;
}

void GifBitWriter::Grow() {
  // The pending bits stay in the packer; only the completed bytes move.
  const std::size_t done = static_cast<std::size_t>(packer_.Cursor() - bytes_.data());
  bytes_.resize(bytes_.size() * 2 + GifBitPacker::kSlack);
  packer_.MoveTo(bytes_.data() + done);
}

}  // namespace plovex
