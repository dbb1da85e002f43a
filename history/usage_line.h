#pragma once
// The usage in one line for the tray's hint: "Today 1.2 GB · this period
// 48.3 GB of 1 TB", without "of …" when there is no cap.
#include <cstdint>
#include <string>

#include "history/usage_period.h"

namespace plovex {

std::string UsageLine(const UsageReport& report);

// A cap as the user typed it, in round units: "1 TB", "250 GB", "1.5 TB".
std::string FormatCap(std::int64_t bytes);

}  // namespace plovex
