#include "snmp/oid_order.h"

#include <cstdint>

#include "snmp/ber_reader.h"
#include "snmp/ber_writer.h"

namespace plovex {

std::string CanonicalOid(std::string_view text) {
  std::string content;
  ber::AppendOidContent(text, content);
  std::string dotted;
  // Cannot fail: the encoder ends every sub-identifier with a byte below 0x80.
  static_cast<void>(ber::AppendOidText(content.data(), content.data() + content.size(), dotted));
  return dotted;
}

namespace {

// Reads the next arc at pos (skipping one dot); false at the end of the arcs.
bool NextArc(std::string_view text, std::size_t& pos, std::uint64_t& arc) {
  if (pos < text.size() && text[pos] == '.') ++pos;
  if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return false;
  arc = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    // Saturates: no arc a decoder can produce comes near it.
    arc = arc > (UINT64_MAX - 9) / 10 ? UINT64_MAX : arc * 10 + (text[pos] - '0');
  }
  return true;
}

}  // namespace

int CompareOids(std::string_view a, std::string_view b) {
  std::size_t pa = 0, pb = 0;
  for (;;) {
    std::uint64_t x = 0, y = 0;
    const bool has_a = NextArc(a, pa, x);
    const bool has_b = NextArc(b, pb, y);
    if (!has_a || !has_b) return has_a - has_b;
    if (x != y) return x < y ? -1 : 1;
  }
}

}  // namespace plovex
