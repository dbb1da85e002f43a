#include "core/format_rate.h"

#include <clocale>

namespace plovex {

std::string FormatRate(std::int64_t rate) {
  const std::lconv* lc = std::localeconv();
  const char* point = lc != nullptr && lc->decimal_point != nullptr && *lc->decimal_point != '\0'
                          ? lc->decimal_point
                          : ".";
  return FormatRate(rate, point);
}

std::string FormatRate(std::int64_t rate, std::string_view decimal_point) {
  // k / 10.24 = k * 25 / 256, done exactly: a binary 10.24 would put values
  // such as 128 / 10.24 = 12.5 on either side of the half. Splitting k by 256
  // keeps every product inside 64 bits.
  const std::int64_t k = rate / 10;
  const std::int64_t part = (k % 256) * 25;  // same sign as k, |part| < 6400
  std::int64_t q = (k / 256) * 25 + part / 256;
  const std::int64_t twice = 2 * (part % 256 < 0 ? -(part % 256) : part % 256);
  if (twice > 256 || (twice == 256 && q % 2 != 0)) q += k < 0 ? -1 : 1;

  const bool negative = q < 0;
  std::uint64_t mag = negative ? 0 - static_cast<std::uint64_t>(q) : static_cast<std::uint64_t>(q);
  const unsigned tenth = static_cast<unsigned>(mag % 10);
  mag /= 10;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(mag % 10)));
    mag /= 10;
  } while (mag != 0);
  std::string text = negative ? "-" + digits : digits;
  if (tenth != 0) {
    text += decimal_point;
    text += static_cast<char>('0' + tenth);
  }
  return text + " kB/s";
}

}  // namespace plovex
