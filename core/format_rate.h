#pragma once
// FormatRate: a rate in bytes per second as the picture and the tray hint show
// it, in kilobytes of 1,024 bytes with at most one decimal: "62.5 kB/s",
// "0 kB/s", "1 kB/s". k := rate div 10; q := k / 10.24 rounded half to even;
// the text is q / 10 in its shortest form. The one-argument form uses the C
// library's LC_NUMERIC decimal separator (main sets it from the environment
// once); the other takes the separator explicitly. Never fails.
#include <cstdint>
#include <string>
#include <string_view>

namespace plovex {

std::string FormatRate(std::int64_t rate);
std::string FormatRate(std::int64_t rate, std::string_view decimal_point);

}  // namespace plovex
