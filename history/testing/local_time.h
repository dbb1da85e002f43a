#pragma once
// For tests of local days and billing periods: a time zone set for the
// test's span, and the Unix time of a local date and time.
#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace plovex {

class LocalZone {
 public:
  // A POSIX TZ text, so that no zone database is needed.
  explicit LocalZone(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
  }
  ~LocalZone() {
    unsetenv("TZ");
    tzset();
  }
  LocalZone(const LocalZone&) = delete;
  LocalZone& operator=(const LocalZone&) = delete;
};

// Central European time: DST from the last Sunday of March to the last
// Sunday of October.
constexpr char kCentralEurope[] = "CET-1CEST,M3.5.0,M10.5.0/3";

inline std::int64_t LocalTime(int y, int mon, int d, int h = 0, int mi = 0) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mon - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

}  // namespace plovex
