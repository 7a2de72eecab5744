// The local clock on Windows: the system's own time-zone conversion, which
// applies the zone's rules of the year in question and reaches back before
// 1970, where the C runtime's localtime_s and mktime fail or apply this
// year's daylight-saving rules to every year.
#ifdef _WIN32

#include "engine/local_clock.h"
#include "win32_support.h"

namespace pff {

std::optional<WallClock> LocalReading(int64_t unixSeconds) {
  // System times begin in 1601 and end in 30827.
  constexpr int64_t kFirst = -11644473600, kLast = 910692730085;
  if (unixSeconds < kFirst || unixSeconds > kLast) return std::nullopt;
  const FILETIME moment = win32::FileTimeFromUnix(unixSeconds);
  SYSTEMTIME utc, local;
  TIME_ZONE_INFORMATION zone;
  if (!::FileTimeToSystemTime(&moment, &utc)) return std::nullopt;
  // Daylight saving never starts or ends at the turn of a year, so the
  // rules of the moment's year in UTC serve for its local reading too.
  if (!::GetTimeZoneInformationForYear(utc.wYear, nullptr, &zone)) return std::nullopt;
  if (!::SystemTimeToTzSpecificLocalTime(&zone, &utc, &local)) return std::nullopt;
  WallClock clock;
  clock.Year = local.wYear;
  clock.Month = local.wMonth;
  clock.Day = local.wDay;
  clock.Hour = local.wHour;
  clock.Minute = local.wMinute;
  clock.Second = local.wSecond;
  return clock;
}

std::optional<int64_t> UnixFromLocalReading(const WallClock& reading) {
  if (reading.Year < 1601 || reading.Year > 30827) return std::nullopt;
  SYSTEMTIME local{}, utc;
  local.wYear = static_cast<WORD>(reading.Year);
  local.wMonth = static_cast<WORD>(reading.Month);
  local.wDay = static_cast<WORD>(reading.Day);
  local.wHour = static_cast<WORD>(reading.Hour);
  local.wMinute = static_cast<WORD>(reading.Minute);
  local.wSecond = static_cast<WORD>(reading.Second);
  TIME_ZONE_INFORMATION zone;
  if (!::GetTimeZoneInformationForYear(local.wYear, nullptr, &zone)) return std::nullopt;
  if (!::TzSpecificLocalTimeToSystemTime(&zone, &local, &utc)) return std::nullopt;
  FILETIME moment;
  if (!::SystemTimeToFileTime(&utc, &moment)) return std::nullopt;
  int64_t seconds = 0, nanoseconds = 0;
  win32::UnixFromFileTime(moment, seconds, nanoseconds);
  return seconds;
}

}  // namespace pff

#endif  // _WIN32
