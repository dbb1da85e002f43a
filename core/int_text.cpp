#include "core/int_text.h"

#include "base/decimal.h"
#include "base/hex_digits.h"
#include "core/plovex_error.h"

namespace plovex {
namespace {

// Parses text for a target of `bits` (32 or 64) bits; the result is the
// target's value widened to 64 bits.
Result<std::int64_t> Parse(std::string_view text, int bits) {
  const auto invalid = [text] { return Status::InvalidArgument(NotAValidIntegerMessage(text)); };
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return invalid();

  const std::uint64_t width_mask = bits == 64 ? ~0ULL : (1ULL << bits) - 1;
  std::uint64_t magnitude = 0;
  if (hex) {
    for (; i < text.size(); ++i) {
      const int d = HexDigitValue(text[i]);
      if (d < 0) return invalid();
      if (magnitude > (width_mask >> 4)) return invalid();  // does not fit the width
      magnitude = magnitude << 4 | static_cast<std::uint64_t>(d);
    }
    // The digits are a bit pattern of the target width.
    std::uint64_t pattern = magnitude;
    if (negative) pattern = (~pattern + 1) & width_mask;
    if (bits == 32)
      return static_cast<std::int64_t>(
          static_cast<std::int32_t>(static_cast<std::uint32_t>(pattern)));
    return static_cast<std::int64_t>(pattern);
  }
  const std::uint64_t limit = (1ULL << (bits - 1)) - (negative ? 0 : 1);  // |min| or max
  const Result<std::uint64_t> decimal = ParseDecimalDigits(text.substr(i), limit);
  if (!decimal) return invalid();
  magnitude = *decimal;
  if (negative) return static_cast<std::int64_t>(0 - magnitude);
  return static_cast<std::int64_t>(magnitude);
}

}  // namespace

std::string NotAValidIntegerMessage(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

Result<std::int32_t> TryStrToInt(std::string_view text) {
  const Result<std::int64_t> v = Parse(text, 32);
  if (!v) return v.status();
  return static_cast<std::int32_t>(*v);
}

Result<std::int64_t> TryStrToInt64(std::string_view text) { return Parse(text, 64); }

std::int32_t StrToInt(std::string_view text) {
  const Result<std::int32_t> v = TryStrToInt(text);
  if (!v) throw PlovexError(v.status().message());
  return *v;
}

std::int64_t StrToInt64(std::string_view text) {
  const Result<std::int64_t> v = TryStrToInt64(text);
  if (!v) throw PlovexError(v.status().message());
  return *v;
}

}  // namespace plovex
