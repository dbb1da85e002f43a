#pragma once
// Big-endian (network order) packing of unsigned integers, as BER writes its
// lengths and INTEGER contents and the USM its salts and IVs; and the
// two's-complement reading of a BER INTEGER. The little-endian counterpart is
// base/little_endian.h. Inline: the SNMP codec packs and reads per element.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plovex {

// Writes the low `bytes` bytes of v (at most 8), most significant first, at
// `out`; returns the position after them.
inline char* WriteBigEndian(char* out, std::uint64_t v, std::size_t bytes) {
  for (std::size_t k = bytes; k-- > 0;) *out++ = static_cast<char>(v >> (8 * k));
  return out;
}

// Appends the same to a container of char or std::uint8_t.
template <typename Bytes>
void AppendBigEndian(Bytes& out, std::uint64_t v, std::size_t bytes) {
  using Byte = typename Bytes::value_type;
  for (std::size_t k = bytes; k-- > 0;) out.push_back(static_cast<Byte>(v >> (8 * k)));
}

// The number whose bytes, most significant first, are `bytes`; of a longer
// run only the low 64 bits are kept.
constexpr std::uint64_t ReadBigEndian(std::string_view bytes) {
  std::uint64_t v = 0;
  for (const char c : bytes) v = v << 8 | static_cast<unsigned char>(c);
  return v;
}

// `bytes` as a two's-complement number kept in 32 bits (a longer run keeps
// its low 32 bits): FF is -1, 00 FF is 255, no bytes is 0.
constexpr std::int32_t ReadBigEndianSigned32(std::string_view bytes) {
  std::uint32_t v =
      (!bytes.empty() && (static_cast<unsigned char>(bytes[0]) & 0x80)) ? 0xFFFFFFFFu : 0u;
  for (const char c : bytes) v = v << 8 | static_cast<unsigned char>(c);
  return static_cast<std::int32_t>(v);
}

}  // namespace plovex
