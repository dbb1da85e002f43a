#pragma once
// Decimal numbers in text, the strict way: only ASCII digits (after an
// optional sign where a sign is allowed), nothing before or after them, and a
// value that fits. The program's more lenient conversions (the settings'
// text-to-integer with blanks and "$" hexadecimal) build on these for their
// decimal part. Inline: the SNMP decoder reads its header numbers with them.
#include <cstdint>
#include <string_view>

#include <string>

#include "base/status.h"

namespace plovex {

// The value of a non-empty run of decimal digits that is at most `limit`;
// a failure naming the text for an empty text, any other character, or a
// larger value.
Result<std::uint64_t> ParseDecimalDigits(std::string_view digits, std::uint64_t limit = UINT64_MAX);

// An optional "+" or "-", then decimal digits, within the signed range of
// `bits` bits (8 to 64); a failure naming the text otherwise.
Result<std::int64_t> ParseSignedDecimal(std::string_view text, int bits);

// --- implementation ---

namespace decimal_internal {

[[gnu::cold]] inline Status NotDecimal(std::string_view text) {
  return Status::InvalidArgument("'" + std::string(text) + "' is not a decimal number");
}

}  // namespace decimal_internal

inline Result<std::uint64_t> ParseDecimalDigits(std::string_view digits, std::uint64_t limit) {
  if (digits.empty()) return decimal_internal::NotDecimal(digits);
  std::uint64_t v = 0;
  for (const char c : digits) {
    const unsigned d = static_cast<unsigned char>(c) - static_cast<unsigned>('0');
    if (d > 9 || v > (limit - d) / 10) return decimal_internal::NotDecimal(digits);
    v = v * 10 + d;
  }
  return v;
}

inline Result<std::int64_t> ParseSignedDecimal(std::string_view text, int bits) {
  const std::string_view whole = text;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // |min| for a negative number, max for a positive one.
  const std::uint64_t limit = (std::uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);
  const Result<std::uint64_t> magnitude = ParseDecimalDigits(text, limit);
  if (!magnitude) return decimal_internal::NotDecimal(whole);
  return static_cast<std::int64_t>(negative ? 0 - *magnitude : *magnitude);
}

}  // namespace plovex
