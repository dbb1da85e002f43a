#pragma once
// Hexadecimal digits, both ways: the value of one digit (either letter case)
// and the digit of a value 0..15 (upper or lower case). Inline, because the
// SNMP codec's decoder calls them per character.
#include <string>

namespace plovex {

// 0..15 for '0'..'9', 'a'..'f', 'A'..'F'; -1 for any other character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

enum class HexCase { kUpper, kLower };

// The digit of v & 0xF.
constexpr char HexDigitChar(unsigned v, HexCase letter_case) {
  constexpr const char* kUpperDigits = "0123456789ABCDEF";
  constexpr const char* kLowerDigits = "0123456789abcdef";
  return (letter_case == HexCase::kUpper ? kUpperDigits : kLowerDigits)[v & 0xF];
}

// Appends the two digits of a byte, high nibble first.
inline void AppendHexByte(std::string& out, unsigned char b, HexCase letter_case) {
  out += HexDigitChar(b >> 4, letter_case);
  out += HexDigitChar(b, letter_case);
}

}  // namespace plovex
