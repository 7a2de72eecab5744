// The local clock on Linux and other POSIX systems: the C library's zone rules (TZ).
#ifndef _WIN32

#include <ctime>

#include "engine/local_clock.h"

namespace pff {

std::optional<WallClock> LocalReading(int64_t unixSeconds) {
  const auto unixTime = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  if (localtime_r(&unixTime, &local) == nullptr) return std::nullopt;
  WallClock clock;
  clock.Year = local.tm_year + 1900;
  clock.Month = local.tm_mon + 1;
  clock.Day = local.tm_mday;
  clock.Hour = local.tm_hour;
  clock.Minute = local.tm_min;
  clock.Second = local.tm_sec;
  return clock;
}

std::optional<int64_t> UnixFromLocalReading(const WallClock& reading) {
  std::tm local{};
  local.tm_year = reading.Year - 1900;
  local.tm_mon = reading.Month - 1;
  local.tm_mday = reading.Day;
  local.tm_hour = reading.Hour;
  local.tm_min = reading.Minute;
  local.tm_sec = reading.Second;
  local.tm_isdst = -1;  // the zone's rules decide, as they did when the time was read
  const std::time_t unixTime = std::mktime(&local);
  // -1 is also a real moment (1969-12-31 23:59:59 UTC); the fields say whether mktime failed.
  if (unixTime == static_cast<std::time_t>(-1) && local.tm_year != 69) return std::nullopt;
  return static_cast<int64_t>(unixTime);
}

}  // namespace pff

#endif  // _WIN32
