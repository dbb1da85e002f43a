#pragma once
// Test helpers: byte strings written as hexadecimal ("30 0A 02 01 00") and
// back, and BER elements assembled with their lengths computed, so that a test
// states only the bytes it is about.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/hex_digits.h"

namespace plovex::testing {

inline std::string Bytes(std::string_view hex) {
  std::string out;
  int high = -1;
  for (const char c : hex) {
    const int v = HexDigitValue(c);
    if (v < 0) continue;  // blanks and the like
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<char>(high << 4 | v));
      high = -1;
    }
  }
  return out;
}

inline std::string Hex(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    if (!out.empty()) out.push_back(' ');
    AppendHexByte(out, static_cast<unsigned char>(c), HexCase::kUpper);
  }
  return out;
}

// tag, shortest definite length, content.
inline std::string Element(std::uint8_t tag, std::string_view content) {
  std::string out(1, static_cast<char>(tag));
  const std::size_t n = content.size();
  if (n < 0x80) {
    out.push_back(static_cast<char>(n));
  } else if (n < 0x100) {
    out += {static_cast<char>(0x81), static_cast<char>(n)};
  } else {
    out += {static_cast<char>(0x82), static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)};
  }
  out.append(content);
  return out;
}

// A GetResponse (community "c", request-id 1, error-status and error-index as
// given) around the raw bytes of a bindings list's content.
inline std::string Reply(std::string_view bindings, std::uint8_t status = 0,
                         std::uint8_t index = 0) {
  const std::string pdu = Bytes("02 01 01") + Element(0x02, std::string(1, char(status))) +
                          Element(0x02, std::string(1, char(index))) + Element(0x30, bindings);
  return Element(0x30, Bytes("02 01 00 04 01 63") + Element(0xA2, pdu));
}

// One binding: OBJECT IDENTIFIER content given in hex, value element given raw.
inline std::string Binding(std::string_view oid_hex, std::string_view value) {
  return Element(0x30, Element(0x06, Bytes(oid_hex)) + std::string(value));
}

}  // namespace plovex::testing
