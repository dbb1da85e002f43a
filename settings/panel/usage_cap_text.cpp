#include "settings/panel/usage_cap_text.h"

#include <cstdint>
#include <limits>

namespace plovex {

namespace {

constexpr std::int64_t kGigabyte = 1000000000;

}  // namespace

Result<std::int64_t> GigabytesToBytes(const std::string& text) {
  const Status bad = Status::InvalidArgument("'" + text + "' is not a number of GB (0 for no cap)");
  std::size_t begin = text.find_first_not_of(' ');
  std::size_t end = text.find_last_not_of(' ');
  if (begin == std::string::npos) return bad;
  std::int64_t whole = 0, fraction = 0, scale = kGigabyte;
  bool point = false, digits = false;
  for (std::size_t i = begin; i <= end; ++i) {
    const char c = text[i];
    if ((c == '.' || c == ',') && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      if (!point) {
        if (whole > (std::numeric_limits<std::int64_t>::max() / kGigabyte - 9) / 10) return bad;
        whole = whole * 10 + (c - '0');
      } else {
        if (scale == 1) return bad;
        scale /= 10;
        fraction += (c - '0') * scale;
      }
    } else {
      return bad;
    }
  }
  if (!digits) return bad;
  return whole * kGigabyte + fraction;
}

std::string BytesToGigabytes(std::int64_t bytes) {
  std::string text = std::to_string(bytes / kGigabyte);
  std::int64_t rest = bytes % kGigabyte;
  if (rest != 0) {
    std::string decimals = std::to_string(kGigabyte + rest).substr(1);
    decimals.erase(decimals.find_last_not_of('0') + 1);
    text += "." + decimals;
  }
  return text;
}

}  // namespace plovex
