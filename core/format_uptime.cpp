#include "core/format_uptime.h"

namespace plovex {

namespace {

void AppendTwoDigits(std::int64_t v, const char* unit, std::string& text) {
  const std::string digits = std::to_string(v);
  if (digits.size() == 1) text += '0';
  text += digits;
  text += unit;
}

}  // namespace

std::string FormatUptime(std::int64_t hundredths) {
  std::int64_t s = hundredths / 100;
  std::string text = std::to_string(s / 86400) + " Days ";
  s -= (s / 86400) * 86400;
  text += std::to_string(s / 3600) + "h";
  s -= (s / 3600) * 3600;
  AppendTwoDigits(s / 60, "m", text);
  s -= (s / 60) * 60;
  AppendTwoDigits(s, "s", text);
  return text;
}

}  // namespace plovex
