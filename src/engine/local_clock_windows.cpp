// The local clock on Windows: the system's own time-zone conversion, which
// applies the zone's rules of the year in question and reaches back before
// 1970, where the C runtime's localtime_s and mktime fail or apply this
// year's daylight-saving rules to every year.
#ifdef _WIN32

#include "engine/local_clock.h"
#include "win32_support.h"

namespace pff {

namespace {

const SYSTEMTIME& AsSystemTime(const WallClock& reading, SYSTEMTIME& time) {
  time = SYSTEMTIME{};
  time.wYear = static_cast<WORD>(reading.Year);
  time.wMonth = static_cast<WORD>(reading.Month);
  time.wDay = static_cast<WORD>(reading.Day);
  time.wHour = static_cast<WORD>(reading.Hour);
  time.wMinute = static_cast<WORD>(reading.Minute);
  time.wSecond = static_cast<WORD>(reading.Second);
  return time;
}

// Seconds since the Unix epoch of a system time read as UTC.
bool UnixFromSystemTime(const SYSTEMTIME& time, int64_t& seconds) {
  FILETIME moment;
  if (!::SystemTimeToFileTime(&time, &moment)) return false;
  int64_t nanoseconds = 0;
  win32::UnixFromFileTime(moment, seconds, nanoseconds);
  return true;
}

bool SameReading(const WallClock& a, const WallClock& b) {
  return a.Year == b.Year && a.Month == b.Month && a.Day == b.Day && a.Hour == b.Hour &&
         a.Minute == b.Minute && a.Second == b.Second;
}

}  // namespace

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
  SYSTEMTIME local, utc;
  AsSystemTime(reading, local);
  TIME_ZONE_INFORMATION zone;
  if (!::GetTimeZoneInformationForYear(local.wYear, nullptr, &zone)) return std::nullopt;
  if (!::TzSpecificLocalTimeToSystemTime(&zone, &local, &utc)) return std::nullopt;
  int64_t seconds = 0, readingSeconds = 0;
  if (!UnixFromSystemTime(utc, seconds) || !UnixFromSystemTime(local, readingSeconds)) return std::nullopt;
  // A reading the clock skips (the hour lost when daylight saving starts) is
  // taken with the offset in force before the change, as the C library on
  // Linux takes it; Windows would take the offset after it.
  const std::optional<WallClock> back = LocalReading(seconds);
  if (back && !SameReading(*back, reading)) {
    const int64_t before = seconds - 86400;
    SYSTEMTIME earlier;
    int64_t earlierSeconds = 0;
    const std::optional<WallClock> earlierReading = LocalReading(before);
    if (!earlierReading || !UnixFromSystemTime(AsSystemTime(*earlierReading, earlier), earlierSeconds))
      return std::nullopt;
    seconds = readingSeconds - (earlierSeconds - before);
  }
  return seconds;
}

}  // namespace pff

#endif  // _WIN32
