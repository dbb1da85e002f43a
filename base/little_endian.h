#pragma once
// Little-endian packing of unsigned integers into byte strings and back, as
// the registry stores its numbers, UTF-16LE its code units and GIF its words.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plovex {

// Appends the low `bytes` bytes of v, least significant first, to a container
// of char or std::uint8_t (std::string, std::vector<std::uint8_t>).
template <typename Bytes>
void AppendLittleEndian(Bytes& out, std::uint64_t v, std::size_t bytes) {
  using Byte = typename Bytes::value_type;
  for (std::size_t k = 0; k < bytes; ++k) out.push_back(static_cast<Byte>((v >> (8 * k)) & 0xFF));
}

// The number whose bytes, least significant first, are `bytes` (at most 8).
constexpr std::uint64_t ReadLittleEndian(std::string_view bytes) {
  std::uint64_t v = 0;
  for (std::size_t k = bytes.size(); k-- > 0;) v = v << 8 | static_cast<unsigned char>(bytes[k]);
  return v;
}

}  // namespace plovex
