#include "snmp/ber_reader.h"

#include <algorithm>
#include <charconv>

#include "base/big_endian.h"
#include "base/decimal.h"
#include "base/hex_digits.h"
#include "snmp/ber_format.h"
#include "snmp/ber_writer.h"

namespace plovex::ber {

namespace {

std::uint8_t Byte(const char* p) { return static_cast<std::uint8_t>(*p); }

template <typename T>
void AppendDecimal(T v, std::string& out) {
  char digits[24];
  const auto r = std::to_chars(digits, digits + sizeof digits, v);
  out.append(digits, r.ptr);
}

// Needs 10 bytes at p; small numbers, the usual arcs, take the short way.
[[gnu::always_inline]] inline char* WriteDecimal(char* p, std::uint32_t v) {
  if (v < 10) {
    *p++ = static_cast<char>('0' + v);
    return p;
  }
  if (v < 100) {
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
    return p + 2;
  }
  return std::to_chars(p, p + 10, v).ptr;
}

// Grows out by `bound` bytes, lets write fill some of them from the old end,
// and keeps only what was written.
template <typename Write>
void AppendBounded(std::string& out, std::size_t bound, Write write) {
  const std::size_t start = out.size();
  out.resize(start + bound);
  char* const base = out.data();
  out.resize(static_cast<std::size_t>(write(base + start) - base));
}

std::int32_t IntegerValue(const char* c, std::size_t n) {
  return ReadBigEndianSigned32(std::string_view(c, n));
}

// Unsigned, kept in 64 bits (a longer content keeps its low 64 bits).
std::uint64_t UnsignedValue(const char* c, std::size_t n) {
  return ReadBigEndian(std::string_view(c, n));
}

// Some agents encode an unsigned value whose top bit is set in minimal two's
// complement, without the leading zero byte (0xFFFA4120 as FA 41 20). Such a
// content of 1 to `width` bytes is sign-extended, which the caller takes
// modulo 2^32 or 2^64; every correct encoding reads as the unsigned number.
std::uint64_t LiberalUnsignedValue(const char* c, std::size_t n, std::size_t width) {
  if (n == 0 || n > width || !(Byte(c) & 0x80)) return UnsignedValue(c, n);
  std::uint64_t v = ~std::uint64_t{0};
  for (std::size_t i = 0; i < n; ++i) v = v << 8 | Byte(c + i);
  return v;
}

}  // namespace

Result<std::uint64_t> ReadLength(const char*& p, const char* end) {
  if (p == end) return Status::Corruption("no length field");
  const std::uint8_t first = Byte(p++);
  if (!(first & kLongLengthBit)) return first;
  const std::size_t n = first & 0x7F;
  if (static_cast<std::size_t>(end - p) < n) {
    p = end;
    return Status::Corruption("a length field cut off by the end");
  }
  std::string_view field(p, n);
  p += n;
  // Leading zero bytes add nothing; more than 8 bytes after them do not fit.
  const std::size_t zeros = std::min(field.find_first_not_of('\0'), field.size());
  field.remove_prefix(zeros);
  return field.size() > 8 ? UINT64_MAX : ReadBigEndian(field);
}

Status AppendOidText(const char* begin, const char* end, std::string& out) {
  if (begin == end) return Status::Ok();
  if (Byte(end - 1) & 0x80) {
    return Status::Corruption("an OBJECT IDENTIFIER that ends inside a sub-identifier");
  }
  // Every content byte adds at most a "." and 10 digits; the first adds "2.".
  const std::size_t bound = 11 * static_cast<std::size_t>(end - begin) + 2;
  AppendBounded(out, bound, [begin, end](char* w) {
    bool first = true;
    std::uint32_t v = 0;
    for (const char* p = begin; p != end; ++p) {
      v = v << 7 | (Byte(p) & 0x7F);
      if (Byte(p) & 0x80) continue;
      if (first) {
        const std::uint32_t x = v < 40 ? 0 : v < 80 ? 1 : 2;
        *w++ = static_cast<char>('0' + x);
        *w++ = '.';
        w = WriteDecimal(w, v - 40 * x);
        first = false;
      } else {
        *w++ = '.';
        w = WriteDecimal(w, v);
      }
      v = 0;
    }
    return w;
  });
  return Status::Ok();
}

void AppendItemText(const Item& item, std::string& out) {
  if (item.kind == Item::Kind::kConstructed) {
    const char text[3] = {'$', HexDigitChar(item.tag >> 4, HexCase::kUpper),
                          HexDigitChar(item.tag, HexCase::kUpper)};
    out.append(text, 3);
    return;
  }
  if (item.kind != Item::Kind::kPrimitive) return;
  const char* c = item.content;
  const std::size_t n = item.length;
  switch (item.tag) {
    case kInteger:
      AppendDecimal(IntegerValue(c, n), out);
      break;
    case kOctetString:
    case kOpaque:
      out.append(c, n);
      break;
    case kObjectId:
      static_cast<void>(AppendOidText(c, c + n, out));  // damaged content: the empty text
      break;
    case kIpAddress:
      if (n == 0) break;
      AppendBounded(out, 4 * n, [c, n](char* w) {
        for (std::size_t i = 0; i < n; ++i) {
          if (i > 0) *w++ = '.';
          w = WriteDecimal(w, Byte(c + i));
        }
        return w;
      });
      break;
    case kCounter: {
      // Read modulo 2^32 when sign-extended; a longer content keeps 64 bits.
      const std::uint64_t v = LiberalUnsignedValue(c, n, 4);
      AppendDecimal(static_cast<std::int64_t>(n <= 4 ? v & 0xFFFFFFFFu : v), out);
      break;
    }
    case kGauge:
    case kTimeTicks:
      AppendDecimal(static_cast<std::uint32_t>(LiberalUnsignedValue(c, n, 4)), out);
      break;
    default:
      break;
  }
}

void AppendCounter64Text(const Item& item, std::string& out) {
  if (item.kind != Item::Kind::kPrimitive) return;
  AppendDecimal(LiberalUnsignedValue(item.content, item.length, 8), out);
}

std::int32_t HeaderNumber(std::string_view text) {
  if (!text.empty() && text[0] == '$') {
    if (text.size() == 1 || text.size() > 9) return 0;
    std::uint32_t v = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
      const int d = HexDigitValue(text[i]);
      if (d < 0) return 0;
      v = v << 4 | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(v);
  }
  return static_cast<std::int32_t>(ParseSignedDecimal(text, 32).value_or(0));
}

std::int32_t ItemNumber(const Item& item, std::string& scratch) {
  switch (item.kind) {
    case Item::Kind::kAbsent:
    case Item::Kind::kMalformed:
      return 0;
    case Item::Kind::kConstructed:
      return item.tag;
    case Item::Kind::kPrimitive:
      if (item.tag == kInteger) return IntegerValue(item.content, item.length);
      break;
  }
  scratch.clear();
  AppendItemText(item, scratch);
  return HeaderNumber(scratch);
}

}  // namespace plovex::ber
