#include "engine/file_time.h"

#include <limits>

#include "engine/local_clock.h"

namespace pff {

namespace {

// The stored scale starts five hours before 1970-01-01 00:00:00 on the wall clock.
constexpr int64_t kBaseOffset = 5 * 3600;
constexpr int64_t kSecondsPerDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days from 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = FloorDiv(year, 400);
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, WallClock& clock) {
  days += 719468;
  const int64_t era = FloorDiv(days, 146097);
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  clock.Day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  clock.Month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  clock.Year = static_cast<int>(yearOfEra + era * 400 + (clock.Month <= 2));
}

std::optional<int32_t> ToInt32(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

// Seconds on the stored scale, before the 32-bit range check.
int64_t WideFileTime(const WallClock& clock) {
  // Months outside 1..12 roll into the year so the day arithmetic stays valid.
  const int64_t monthsFromZero = static_cast<int64_t>(clock.Year) * 12 + (clock.Month - 1);
  const int64_t year = FloorDiv(monthsFromZero, 12);
  const int64_t month = monthsFromZero - year * 12 + 1;
  const int64_t days = DaysFromCivil(year, month, clock.Day);
  return days * kSecondsPerDay + static_cast<int64_t>(clock.Hour) * 3600 +
         static_cast<int64_t>(clock.Minute) * 60 + clock.Second + kBaseOffset;
}

}  // namespace

WallClock WallClockFromFileTime(int32_t fileTime) {
  const int64_t seconds = static_cast<int64_t>(fileTime) - kBaseOffset;
  const int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const int64_t secondOfDay = seconds - days * kSecondsPerDay;
  WallClock clock;
  CivilFromDays(days, clock);
  clock.Hour = static_cast<int>(secondOfDay / 3600);
  clock.Minute = static_cast<int>(secondOfDay / 60 % 60);
  clock.Second = static_cast<int>(secondOfDay % 60);
  return clock;
}

std::optional<int32_t> FileTimeFromWallClock(const WallClock& clock) { return ToInt32(WideFileTime(clock)); }

std::optional<int32_t> FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
  constexpr int64_t kNanosPerSecond = 1000000000;
  constexpr int64_t kHalf = kNanosPerSecond / 2;
  // Any nanosecond count is accepted; fold whole seconds into seconds first.
  const int64_t carry = FloorDiv(nanoseconds, kNanosPerSecond);
  if ((carry > 0 && seconds > std::numeric_limits<int64_t>::max() - carry) ||
      (carry < 0 && seconds < std::numeric_limits<int64_t>::min() - carry)) {
    return std::nullopt;
  }
  seconds += carry;
  nanoseconds -= carry * kNanosPerSecond;

  // Far outside the stored range anyway; keeps the system's clock types from overflowing.
  constexpr int64_t kFarLimit = int64_t{1} << 40;
  if (seconds > kFarLimit || seconds < -kFarLimit) return std::nullopt;

  const std::optional<WallClock> clock = LocalReading(seconds);
  if (!clock) return std::nullopt;
  int64_t fileTime = WideFileTime(*clock);
  // The fraction rounds on the stored value itself, so a half goes to the even stored second.
  if (nanoseconds > kHalf || (nanoseconds == kHalf && (fileTime & 1) != 0)) ++fileTime;
  return ToInt32(fileTime);
}

std::optional<int64_t> UnixFromFileTime(int32_t fileTime) {
  return UnixFromLocalReading(WallClockFromFileTime(fileTime));
}

}  // namespace pff
