#include "snmp/ber_writer.h"

#include "base/decimal.h"
#include "snmp/ber_format.h"

namespace plovex::ber {

char* WriteUnsignedContent(char* out, std::uint64_t v) {
  int n = 1;
  while (n < 8 && (v >> (8 * n)) != 0) ++n;
  if ((v >> (8 * n - 1)) & 1) *out++ = '\0';
  return WriteBigEndian(out, v, static_cast<std::size_t>(n));
}

namespace {

char* WriteSubIdentifier(char* out, std::uint32_t v) {
  if (v < 0x80) {
    *out++ = static_cast<char>(v);
    return out;
  }
  int n = 1;
  while (n < 5 && (v >> (7 * n)) != 0) ++n;
  for (int i = n - 1; i > 0; --i) *out++ = static_cast<char>(0x80 | ((v >> (7 * i)) & 0x7F));
  *out++ = static_cast<char>(v & 0x7F);
  return out;
}

// Reads the arc starting at p up to the next "." or the end, leaving p there.
std::uint32_t ReadArc(const char*& p, const char* end) {
  const char* start = p;
  std::uint32_t v = 0;
  bool plain = true;  // only digits, and few enough to fit without a check
  for (; p != end && *p != '.'; ++p) {
    const unsigned d = static_cast<unsigned char>(*p) - '0';
    if (d > 9 || p - start >= 9) plain = false;
    v = v * 10 + d;
  }
  if (plain && p != start) return v;
  return static_cast<std::uint32_t>(
      ParseSignedDecimal(std::string_view(start, p - start), 32).value_or(0));
}

}  // namespace

char* WriteOidContent(char* out, std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  if (p == end) return out;
  const std::uint32_t first = ReadArc(p, end);
  if (p == end || ++p == end) return WriteSubIdentifier(out, 40 * first);
  out = WriteSubIdentifier(out, 40 * first + ReadArc(p, end));
  while (p != end && ++p != end) out = WriteSubIdentifier(out, ReadArc(p, end));
  return out;
}

void AppendOidContent(std::string_view text, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + OidContentBound(text.size()));
  out.resize(WriteOidContent(out.data() + start, text) - out.data());
}

}  // namespace plovex::ber
