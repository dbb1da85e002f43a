#pragma once
// The text-to-integer conversion used wherever a stored or typed text becomes a
// number (counter readings, time ticks, integer and colour texts of the
// settings, the configuration pages' edit boxes).
//
// Accepted: leading blanks, an optional "+" or "-", then decimal digits, or
// hexadecimal digits of either case after "$", "x", "X", "0x" or "0X". A
// hexadecimal number is the bit pattern of the target width ("$80000012" is a
// negative 32-bit value) and must fit in that width; a decimal number must lie
// in the signed range of the target width. Anything else (empty text, trailing
// characters, out-of-range values) fails with "'<text>' is not a valid
// integer value": StrToInt and StrToInt64 throw it as PlovexError (the
// message the settings and the pages show), the Try forms return it as a
// failed Result (kInvalidArgument) for callers that treat failure as data.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"

namespace plovex {

std::int32_t StrToInt(std::string_view text);
std::int64_t StrToInt64(std::string_view text);

Result<std::int32_t> TryStrToInt(std::string_view text);
Result<std::int64_t> TryStrToInt64(std::string_view text);

// The message of a failed conversion of text.
std::string NotAValidIntegerMessage(std::string_view text);

}  // namespace plovex
