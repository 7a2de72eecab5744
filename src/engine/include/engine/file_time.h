#pragma once
// Stored entry times: signed 32-bit seconds since the local wall-clock
// reading 1969-12-31 19:00:00. No time zone enters either direction: a
// wall-clock reading is stored and shown again as the same reading.

#include <cstdint>
#include <optional>

namespace pff {

struct WallClock {
  int Year = 1970, Month = 1, Day = 1;  // Gregorian, month and day from 1
  int Hour = 0, Minute = 0, Second = 0;
};

/// The wall-clock reading a stored time stands for.
WallClock WallClockFromFileTime(int32_t fileTime);
/// The stored time of a wall-clock reading; nullopt outside the 32-bit range.
std::optional<int32_t> FileTimeFromWallClock(const WallClock& clock);
/// A file's modification time (seconds and nanoseconds since the Unix epoch)
/// read on the local clock, rounded to the nearest second (halves to even).
std::optional<int32_t> FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);
/// The Unix seconds at which the local clock shows the reading fileTime stands
/// for (the inverse of FileTimeFromUnix); nullopt when the clock cannot say.
/// A reading skipped by a clock change is taken as the system takes it.
std::optional<int64_t> UnixFromFileTime(int32_t fileTime);

}  // namespace pff
