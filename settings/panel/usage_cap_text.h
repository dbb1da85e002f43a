#pragma once
// The cap on the "Usage" page is typed in gigabytes of 10^9 bytes, as
// providers sell them (1000 GB = 1 TB), and stored as whole bytes.
#include <cstdint>
#include <string>

#include "base/status.h"

namespace plovex {

// "1000" → 10^12, "1.5" or "1,5" → 1.5 × 10^9, "0" → 0 (no cap). Refuses
// anything else: signs, letters, more than nine decimals (finer than a
// byte), a cap beyond what 64 bits hold.
Result<std::int64_t> GigabytesToBytes(const std::string& text);

// The bytes as the fewest decimals of gigabytes that say them exactly.
std::string BytesToGigabytes(std::int64_t bytes);

}  // namespace plovex
