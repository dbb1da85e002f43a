#pragma once
// Decimal numbers in text, the strict way: only ASCII digits (after an
// optional sign where a sign is allowed), nothing before or after them, and a
// value that fits. The program's more lenient conversions (the settings'
// text-to-integer with blanks and "$" hexadecimal) build on these for their
// decimal part.
#include <cstdint>
#include <string_view>

#include "base/status.h"

namespace plovex {

// The value of a non-empty run of decimal digits that is at most `limit`;
// a failure naming the text for an empty text, any other character, or a
// larger value.
Result<std::uint64_t> ParseDecimalDigits(std::string_view digits,
                                                std::uint64_t limit = UINT64_MAX);

// An optional "+" or "-", then decimal digits, within the signed range of
// `bits` bits (8 to 64); a failure naming the text otherwise.
Result<std::int64_t> ParseSignedDecimal(std::string_view text, int bits);

}  // namespace plovex
