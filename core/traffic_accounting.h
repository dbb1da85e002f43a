#pragma once
// The arithmetic of one interval: from two counter readings to a rate, and
// from a rate to a height on a scale. Both are checked: the faults that the
// original platform raised as exceptions raise PlovexError with the same
// message, and nothing here overflows or is undefined for any input.
#include <cstdint>

namespace plovex {

constexpr std::int64_t kMegabyte = 1048576;

// Bytes per second between two readings `refresh` seconds apart; never
// negative. A counter that went forward gives (value - prev) div refresh.
// One that went backwards is taken as a 32-bit wrap when the previous reading
// lay below 2^32 and the counter is not `wide` (a 64-bit counter, which has
// been seen at or above 2^32): the rate is (value + 2^32 - prev) div refresh
// when that is a non-negative rate of at most twice max_bytes; anything else
// (an agent restart or a counter reset, which look alike) gives 0. A negative
// refresh counts by its magnitude. Throws "Division by zero" when refresh is 0.
std::int64_t IntervalRate(std::int64_t prev, std::int64_t value, std::int32_t refresh,
                          std::int32_t max_bytes, bool wide = false);

// The bytes carried between two readings, by the same rules as IntervalRate:
// the growth of a counter that went forward, the growth across a 32-bit wrap
// that IntervalRate accepts, and 0 for anything else (a reset, an agent
// restart), so that none of those ever counts as traffic. Throws "Division by
// zero" when refresh is 0, as IntervalRate does.
std::int64_t IntervalBytes(std::int64_t prev, std::int64_t value, std::int32_t refresh,
                           std::int32_t max_bytes, bool wide = false);

// round-half-even(rate / max_bytes * scale) in extended precision, the
// division first, kept to 0..2^62 (a negative quotient is 0). Throws
// "Floating point division by zero" when max_bytes is 0 and rate above 0,
// "Invalid floating point operation" when both are 0.
std::int64_t ScaledHeight(std::int64_t rate, std::int32_t max_bytes, std::int64_t scale);

// a + b, held at the int64 limits instead of wrapping.
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b);

}  // namespace plovex
