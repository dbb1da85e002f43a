#pragma once
// Building blocks of the BER encoder of SNMP messages: element headers in the
// definite form with the shortest length field, INTEGER contents, and the
// content of an OBJECT IDENTIFIER given as dotted text. TSNMPRec::Encode
// composes a message from them.
//
// Nothing here fails: an OID text is read leniently (an arc that is not a
// signed 32-bit decimal number counts as 0), so every text has an encoding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/big_endian.h"

namespace plovex::ber {

// Bytes of the length field for a content of `length` bytes: 1 below 128,
// otherwise 1 + the fewest big-endian bytes that hold it.
inline std::size_t LengthFieldSize(std::size_t length) {
  if (length < 0x80) return 1;
  std::size_t n = 0;
  for (std::size_t v = length; v != 0; v >>= 8) ++n;
  return 1 + n;
}

// Bytes of a whole element (tag, length field, content).
inline std::size_t ElementSize(std::size_t content_length) {
  return 1 + LengthFieldSize(content_length) + content_length;
}

// Writes the tag byte and the length field at `out` and returns the position
// after them. The caller provides ElementSize(length) - length bytes.
inline char* WriteHeader(char* out, std::uint8_t tag, std::size_t length) {
  *out++ = static_cast<char>(tag);
  if (length < 0x80) {
    *out++ = static_cast<char>(length);
    return out;
  }
  const std::size_t n = LengthFieldSize(length) - 1;
  *out++ = static_cast<char>(0x80 | n);
  return WriteBigEndian(out, length, n);
}

// Bytes of the INTEGER content of v: the shortest two's-complement form
// (0 is one byte 00; 128 is 00 80; -1 is FF).
inline std::size_t IntegerContentSize(std::int32_t v) {
  // Leading bytes that only repeat the sign of the byte after them go.
  std::size_t n = 4;
  const std::uint32_t u = static_cast<std::uint32_t>(v);
  while (n > 1) {
    const std::uint32_t top9 = (u >> (8 * n - 9)) & 0x1FF;
    if (top9 != 0 && top9 != 0x1FF) break;
    --n;
  }
  return n;
}

inline char* WriteIntegerContent(char* out, std::int32_t v) {
  return WriteBigEndian(out, static_cast<std::uint32_t>(v), IntegerContentSize(v));
}

// Writes the minimal unsigned big-endian content of v, with a leading 00 when
// the first byte would have its top bit set (the form of Counter, Gauge and
// TimeTicks values); at most 9 bytes. Returns the position after it.
char* WriteUnsignedContent(char* out, std::uint64_t v);

// The OBJECT IDENTIFIER content of a dotted text. The text is split at "."
// from the left (a trailing "." adds no arc, a leading one adds an arc 0);
// the first two arcs x, y form 40 * x + y (y is 0 for a single arc); every
// sub-identifier is written in base 128 with bit 0x80 on all bytes but the
// last. An arc that is not a signed 32-bit decimal number counts as 0; arcs
// are taken as 32-bit two's-complement patterns, so negative arcs and
// 40 * x + y wrap modulo 2^32 rather than misbehave.
//
// WriteOidContent needs OidContentBound(text.size()) bytes at `out` and
// returns the position after what it wrote.
inline std::size_t OidContentBound(std::size_t text_size) { return 5 * (text_size + 1); }
char* WriteOidContent(char* out, std::string_view text);
void AppendOidContent(std::string_view text, std::string& out);

}  // namespace plovex::ber
