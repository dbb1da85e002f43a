#include "base/decimal.h"

#include <string>

namespace plovex {
namespace {

Status NotDecimal(std::string_view text) {
  return Status::Error("'" + std::string(text) + "' is not a decimal number");
}

}  // namespace

Result<std::uint64_t> ParseDecimalDigits(std::string_view digits, std::uint64_t limit) {
  if (digits.empty()) return NotDecimal(digits);
  std::uint64_t v = 0;
  for (const char c : digits) {
    const unsigned d = static_cast<unsigned char>(c) - static_cast<unsigned>('0');
    if (d > 9 || v > (limit - d) / 10) return NotDecimal(digits);
    v = v * 10 + d;
  }
  return v;
}

Result<std::int64_t> ParseSignedDecimal(std::string_view text, int bits) {
  const std::string_view whole = text;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // |min| for a negative number, max for a positive one.
  const std::uint64_t limit = (std::uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);
  const Result<std::uint64_t> magnitude = ParseDecimalDigits(text, limit);
  if (!magnitude) return NotDecimal(whole);
  return static_cast<std::int64_t>(negative ? 0 - *magnitude : *magnitude);
}

}  // namespace plovex
