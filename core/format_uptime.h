#pragma once
// FormatUptime: SNMP time ticks (hundredths of a second) as the uptime
// overlay shows them, days and clock time: 12345678 gives "1 Days 10h17m36s",
// 0 gives "0 Days 0h00m00s". Hours are not padded; minutes and seconds get a
// leading "0" when their decimal text is one character. All divisions
// truncate toward zero, so a negative count keeps its signs in the parts
// (-100 gives "0 Days 0h00m-1s"). Never fails.
#include <cstdint>
#include <string>

namespace plovex {

std::string FormatUptime(std::int64_t hundredths);

}  // namespace plovex
