#include "core/traffic_accounting.h"

#include <cmath>
#include <limits>

#include "core/plovex_error.h"

namespace plovex {

namespace {
constexpr std::uint64_t kWrap = std::uint64_t{1} << 32;
constexpr std::int64_t kHeightLimit = std::int64_t{1} << 62;

std::uint64_t Magnitude(std::int32_t refresh) {
  return refresh < 0
             ? std::uint64_t{0} - static_cast<std::uint64_t>(static_cast<std::int64_t>(refresh))
             : static_cast<std::uint64_t>(refresh);
}

// The bytes across a 32-bit wrap from prev down to value, or 0 when the fall
// is no plausible wrap: a 64-bit counter, a fall of more than the 32-bit range,
// or a corrected rate above twice full scale (a restart or a reset).
std::uint64_t WrapBytes(std::int64_t prev, std::int64_t value, std::uint64_t divisor,
                        std::int32_t max_bytes, bool wide) {
  if (wide || prev >= static_cast<std::int64_t>(kWrap)) return 0;
  const std::uint64_t back = static_cast<std::uint64_t>(prev) - static_cast<std::uint64_t>(value);
  if (back > kWrap) return 0;
  const std::uint64_t bytes = kWrap - back;
  const auto r = static_cast<std::int64_t>(bytes / divisor);
  return r <= 2 * static_cast<std::int64_t>(max_bytes) ? bytes : 0;
}
}  // namespace

std::int64_t IntervalRate(std::int64_t prev, std::int64_t value, std::int32_t refresh,
                          std::int32_t max_bytes, bool wide) {
  if (refresh == 0) throw PlovexError("Division by zero");
  const std::uint64_t divisor = Magnitude(refresh);
  // Differences in unsigned 64 bits: two int64 readings are at most 2^64 - 1 apart.
  if (value >= prev) {
    const std::uint64_t d = static_cast<std::uint64_t>(value) - static_cast<std::uint64_t>(prev);
    const std::uint64_t r = d / divisor;
    return r > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
               ? std::numeric_limits<std::int64_t>::max()
               : static_cast<std::int64_t>(r);
  }
  return static_cast<std::int64_t>(WrapBytes(prev, value, divisor, max_bytes, wide) / divisor);
}

std::int64_t IntervalBytes(std::int64_t prev, std::int64_t value, std::int32_t refresh,
                           std::int32_t max_bytes, bool wide) {
  if (value >= prev) {
    const std::uint64_t d = static_cast<std::uint64_t>(value) - static_cast<std::uint64_t>(prev);
    return d > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
               ? std::numeric_limits<std::int64_t>::max()
               : static_cast<std::int64_t>(d);
  }
  if (refresh == 0) throw PlovexError("Division by zero");
  return static_cast<std::int64_t>(WrapBytes(prev, value, Magnitude(refresh), max_bytes, wide));
}

std::int64_t ScaledHeight(std::int64_t rate, std::int32_t max_bytes, std::int64_t scale) {
  if (max_bytes == 0) {
    if (rate == 0) throw PlovexError("Invalid floating point operation");
    throw PlovexError("Floating point division by zero");
  }
  const long double v =
      static_cast<long double>(rate) / max_bytes * static_cast<long double>(scale);
  if (!(v > 0)) return 0;
  if (v >= static_cast<long double>(kHeightLimit)) return kHeightLimit;
  return static_cast<std::int64_t>(std::nearbyintl(v));  // the default mode rounds half to even
}

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
  std::int64_t sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<std::int64_t>::max()
               : std::numeric_limits<std::int64_t>::min();
}

}  // namespace plovex
