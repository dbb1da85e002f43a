#pragma once
// The BER decoder of SNMP messages, item by item. A BerReader walks a datagram
// given by its begin and end with one read position and never looks outside
// [begin, end), whatever the length fields claim. Every read yields an item;
// a damaged one is a value (Kind::kAbsent or Kind::kMalformed), never an
// exception, so a hostile datagram can only produce empty texts.
//
// Reading one item at position p:
//   - fewer than two bytes left: kAbsent (tag 5, empty text), p stays;
//   - a length field cut off by the end: kMalformed, p moves to the end;
//   - content running past the end: kMalformed (tag as read), p stays just
//     after the length field;
//   - a constructed tag (bit 0x20): kConstructed, p stays on the first content
//     byte, so the next item is the first element inside;
//   - otherwise kPrimitive, and p moves past the content.
// Long-form lengths of any number of bytes are read; a value beyond the
// datagram is simply a content running past the end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"
#include "snmp/ber_format.h"

namespace plovex::ber {

struct Item {
  enum class Kind { kAbsent, kMalformed, kConstructed, kPrimitive };
  Kind kind = Kind::kAbsent;
  std::uint8_t tag = 5;
  const char* content = nullptr;  // valid for kConstructed and kPrimitive
  std::size_t length = 0;
};

// Reads a definite length field at p (advancing p) with nothing read beyond
// end; kCorruption when the field is cut off. Lengths beyond 2^64 - 1
// saturate.
Result<std::uint64_t> ReadLength(const char*& p, const char* end);

class BerReader {
 public:
  BerReader(const char* begin, const char* end) : p_(begin), end_(end) {}

  Item Next() {
    // Inline for the common short form: a message is read item by item.
    if (end_ - p_ < 2) return Item{};  // kAbsent, tag 5
    Item item;
    item.tag = static_cast<std::uint8_t>(*p_++);
    std::uint64_t length = static_cast<std::uint8_t>(*p_);
    if (length < 0x80) {
      ++p_;
    } else if (const auto long_form = ReadLength(p_, end_)) {
      length = *long_form;
    } else {
      item.kind = Item::Kind::kMalformed;
      return item;
    }
    if (length > static_cast<std::uint64_t>(end_ - p_)) {
      item.kind = Item::Kind::kMalformed;
      return item;
    }
    item.content = p_;
    item.length = static_cast<std::size_t>(length);
    if (item.tag & kConstructedBit) {
      item.kind = Item::Kind::kConstructed;
    } else {
      item.kind = Item::Kind::kPrimitive;
      p_ += item.length;
    }
    return item;
  }

  const char* position() const { return p_; }

 private:
  const char* p_;
  const char* end_;
};

// Appends the text form of an item:
//   INTEGER (2): the content as a two's-complement number kept in 32 bits, decimal;
//   OCTET STRING (4), Opaque (0x44): the content bytes unchanged;
//   OBJECT IDENTIFIER (6): dotted decimal (see AppendOidText);
//   IpAddress (0x40): each content byte in decimal, joined by ".";
//   Counter (0x41): unsigned, kept in 64 bits, printed as signed 64-bit;
//   Gauge, TimeTicks (0x42, 0x43): unsigned, kept in 32 bits;
//   of these three, a content of 1 to 4 bytes whose first bit is set is read
//   as two's complement modulo 2^32 (FA 41 20 is 4294590752), as agents
//   that leave out the leading zero byte mean it;
//   constructed: "$" and the tag as two upper-case hexadecimal digits;
//   anything else, absent or malformed items: nothing.
void AppendItemText(const Item& item, std::string& out);

// Appends the text of a Counter64 item (SNMPv2): the content as an unsigned
// big-endian number kept in 64 bits, in decimal, 0 to 18446744073709551615;
// a content of 1 to 8 bytes whose first bit is set is read as two's
// complement modulo 2^64.
// Anything but a primitive item appends nothing.
void AppendCounter64Text(const Item& item, std::string& out);

// Appends the dotted text of OBJECT IDENTIFIER content: the first
// sub-identifier v gives the arcs 0.v, 1.(v-40) or 2.(v-80); sub-identifiers
// are held in 32 bits and printed unsigned. Content whose last byte still has
// bit 0x80 set is damaged and appends nothing (kCorruption).
Status AppendOidText(const char* begin, const char* end, std::string& out);

// The number an item stands for in a message header: its text read as a
// signed 32-bit decimal number, or hexadecimal after a leading "$" (so the
// constructed "$A2" gives 162); 0 when the text is neither. `scratch` is a
// reusable buffer for texts that must be built first.
std::int32_t ItemNumber(const Item& item, std::string& scratch);

// The text-to-number rule of ItemNumber on its own.
std::int32_t HeaderNumber(std::string_view text);

}  // namespace plovex::ber
