#include "history/usage_line.h"

namespace plovex {

std::string FormatCap(std::int64_t bytes) {
  std::string text = FormatBytes(bytes);
  const std::string::size_type zero = text.find(".0 ");
  if (zero != std::string::npos) text.erase(zero, 2);
  return text;
}

std::string UsageLine(const UsageReport& r) {
  std::string line = "Today " + FormatBytes(r.today_in_bytes + r.today_out_bytes) +
                     " \u00b7 this period " + FormatBytes(r.total());
  if (r.cap_bytes > 0) line += " of " + FormatCap(r.cap_bytes);
  return line;
}

}  // namespace plovex
