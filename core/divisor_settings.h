#pragma once
// The three settings that divide: the full scale (MaxBytes), the poll
// interval (Refresh) and the time-tick spacing (TickFreq). None of them may be
// below 1, or every tick would fail on a zero divisor or stop the timer.
// The panel refuses such a value at Apply; a stored one is replaced by its
// default for the run, with ReplaceUnusableDivisors.
#include <array>
#include <cstdint>
#include <string>

#include "base/status.h"
#include "core/plovex_settings.h"

namespace plovex {

struct DivisorSetting {
  const char* value_name;  // as stored in the hive
  std::int32_t TPlovexSettings::*field;
  const char* must;  // what the user is told
};

inline constexpr std::array<DivisorSetting, 3> kDivisorSettings{{
    {"MaxBytes", &TPlovexSettings::MaxBytes,
     "Maximum WAN throughput must be at least 1 byte per second."},
    {"Refresh", &TPlovexSettings::Refresh, "Refresh must be at least 1 second."},
    {"TickFreq", &TPlovexSettings::TickFreq, "Tick every must be at least 1 minute."},
}};

// Gives every divisor setting below 1 its default. Ok when all three were
// usable; otherwise a failure whose message tells the user, one line per
// replaced value ("The stored \"Refresh\" is 0. Refresh must be at least 1
// second; 1 is used until you apply another value.").
Status ReplaceUnusableDivisors(TPlovexSettings& s);

}  // namespace plovex
